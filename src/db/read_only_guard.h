#pragma once

#include <QString>

namespace tavimond {

// Throws DbError, naming what it refuses, unless the statement is one query. The text is
// read as the database reads it: comments, text literals (with '' inside, q'[...]' and
// N'...' forms) and quoted names are skipped, then it is refused when it
//   - is empty or does not begin with SELECT or WITH (opening parentheses allowed),
//   - declares a PL/SQL function or procedure in a WITH clause,
//   - puts INSERT, UPDATE, DELETE, MERGE or another writing verb behind a WITH clause or
//     right after an opening parenthesis,
//   - locks rows (FOR UPDATE),
//   - advances a sequence (name.NEXTVAL),
//   - holds anything but blanks and comments after a ";" (a second statement),
//   - leaves a literal, a quoted name or a comment open.
// Where the database's reading of a text is uncertain (a line break other than LF inside
// a "--" comment, a q'...' literal glued to a number), every reading must pass.
void ensureReadOnly(const QString &statement);

} // namespace tavimond
