#include "read_only_guard.h"

#include "error.h"

#include <QList>

#include <optional>

namespace tavimond {
namespace {

// The points where the database's reading of a text cannot be known here; the guard reads
// the text each way and sends it only when every reading is a query.
struct Reading {
    bool anyBreakEndsLineComment; // CR, VT, FF, NEL, LS and PS end a "--" comment as LF does
    bool numberTakesSuffix;       // "1for" is the number 1f and OR, not 1 and FOR
};

struct Token {
    enum Kind { Word, Name, Literal, Symbol };
    Kind kind;
    QString text; // a word in upper case; a symbol's character

    bool is(char symbol) const { return kind == Symbol && text == QLatin1Char(symbol); }
    bool isWord(const char *word) const { return kind == Word && text == QLatin1String(word); }
    bool isName(const char *quoted) const { return kind == Name && text == QLatin1String(quoted); }
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#');
}

// Control and format characters (a NUL, a zero-width space) part words as a blank does:
// the database would refuse them, and read so they cannot join FOR and UPDATE unseen.
bool isBlank(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

class Lexer {
public:
    Lexer(const QString &text, Reading reading) : s_(text), n_(text.size()), reading_(reading) {}

    // The tokens, or nullopt with failure() set when a literal, name or comment stays open.
    std::optional<QList<Token>> run()
    {
        while (i_ < n_) {
            const QChar c = s_.at(i_);
            if (isBlank(c)) {
                ++i_;
            } else if (c == QLatin1Char('-') && at(i_ + 1) == QLatin1Char('-')) {
                while (i_ < n_ && !endsLineComment(s_.at(i_)))
                    ++i_;
            } else if (c == QLatin1Char('/') && at(i_ + 1) == QLatin1Char('*')) {
                const qsizetype end = s_.indexOf(QLatin1String("*/"), i_ + 2);
                if (end < 0)
                    return fail(QStringLiteral("it has a comment that is never closed"));
                i_ = end + 2;
            } else if (c == QLatin1Char('"')) {
                const qsizetype end = s_.indexOf(QLatin1Char('"'), i_ + 1);
                if (end < 0)
                    return fail(QStringLiteral("it has a quoted name that is never closed"));
                push(Token::Name, end + 1);
            } else if (c == QLatin1Char('\'')) {
                if (!plainLiteral(i_))
                    return std::nullopt;
            } else if (qQuoteAt(i_) || nQuoteAt(i_)) {
                if (!(qQuoteAt(i_) ? qLiteral(i_ + 1) : plainLiteral(i_ + 1)))
                    return std::nullopt;
            } else if (isDigit(c) || (c == QLatin1Char('.') && isDigit(at(i_ + 1)))) {
                number();
            } else if (c.isLetter()) {
                qsizetype j = i_ + 1;
                while (j < n_ && isNameChar(s_.at(j)))
                    ++j;
                tokens_.append({Token::Word, s_.mid(i_, j - i_).toUpper()});
                i_ = j;
            } else {
                push(Token::Symbol, i_ + 1);
            }
        }
        return tokens_;
    }
    const QString &failure() const { return failure_; }

private:
    QChar at(qsizetype k) const { return k < n_ ? s_.at(k) : QChar(); }
    bool isLetterIn(qsizetype k, char lower) const { return at(k).toLower() == QLatin1Char(lower); }
    // q'...' or Q'...' starting a token; nq'...' is q'...' after an N.
    bool qQuoteAt(qsizetype k) const
    {
        if (isLetterIn(k, 'n'))
            ++k;
        return isLetterIn(k, 'q') && at(k + 1) == QLatin1Char('\'');
    }
    bool nQuoteAt(qsizetype k) const { return isLetterIn(k, 'n') && at(k + 1) == QLatin1Char('\''); }

    bool endsLineComment(QChar c) const
    {
        if (c == QLatin1Char('\n'))
            return true;
        if (!reading_.anyBreakEndsLineComment)
            return false;
        switch (c.unicode()) {
        case u'\r':
        case u'\v':
        case u'\f':
        case 0x85:
        case 0x2028:
        case 0x2029:
            return true;
        default:
            return false;
        }
    }

    void push(Token::Kind kind, qsizetype end)
    {
        tokens_.append({kind, s_.mid(i_, end - i_)});
        i_ = end;
    }
    std::nullopt_t fail(const QString &why)
    {
        failure_ = why;
        return std::nullopt;
    }

    // '...' with '' standing for one quote; quote is the position of the opening quote.
    bool plainLiteral(qsizetype quote)
    {
        for (qsizetype k = quote + 1; k < n_; ++k) {
            if (s_.at(k) != QLatin1Char('\''))
                continue;
            if (at(k + 1) == QLatin1Char('\'')) {
                ++k;
                continue;
            }
            push(Token::Literal, k + 1);
            return true;
        }
        fail(QStringLiteral("it has a text literal that is never closed"));
        return false;
    }

    // q'X...X' where X is any character but a blank; [, {, < and ( close with ], }, > and ).
    bool qLiteral(qsizetype q)
    {
        const qsizetype open = s_.indexOf(QLatin1Char('\''), q) + 1;
        if (open >= n_) {
            fail(QStringLiteral("it has a text literal that is never closed"));
            return false;
        }
        const QChar d = s_.at(open);
        if (d.isSpace() || d == QLatin1Char('\'')) {
            fail(QStringLiteral("it has a q-quoted text literal whose delimiter is a blank or a quote"));
            return false;
        }
        QString close = s_.mid(open, d.isHighSurrogate() ? 2 : 1);
        static const QString openers = QStringLiteral("[{<("), closers = QStringLiteral("]}>)");
        if (const qsizetype b = openers.indexOf(d); b >= 0)
            close = closers.at(b);
        const qsizetype end = s_.indexOf(close + QLatin1Char('\''), open + close.size());
        if (end < 0) {
            fail(QStringLiteral("it has a text literal that is never closed"));
            return false;
        }
        push(Token::Literal, end + close.size() + 1);
        return true;
    }

    // Digits with a decimal point and an exponent, and, in one reading, an f or d suffix.
    void number()
    {
        qsizetype j = i_;
        while (j < n_ && isDigit(s_.at(j)))
            ++j;
        if (at(j) == QLatin1Char('.')) {
            ++j;
            while (j < n_ && isDigit(s_.at(j)))
                ++j;
        }
        if (isLetterIn(j, 'e')) {
            qsizetype k = j + 1;
            if (at(k) == QLatin1Char('+') || at(k) == QLatin1Char('-'))
                ++k;
            if (isDigit(at(k))) {
                j = k;
                while (j < n_ && isDigit(s_.at(j)))
                    ++j;
            }
        }
        if (reading_.numberTakesSuffix && (isLetterIn(j, 'f') || isLetterIn(j, 'd')))
            ++j;
        push(Token::Literal, j);
    }

    const QString &s_;
    const qsizetype n_;
    const Reading reading_;
    qsizetype i_ = 0;
    QList<Token> tokens_;
    QString failure_;
};

// A verb that writes or changes something, where a statement could begin: its name.
std::optional<QString> writingVerb(const QList<Token> &t, qsizetype k)
{
    if (k >= t.size() || t.at(k).kind != Token::Word)
        return std::nullopt;
    const QString &w = t.at(k).text;
    static const QStringList always = {"INSERT", "UPDATE", "DELETE", "CREATE", "DROP",
                                       "ALTER",  "GRANT",  "REVOKE", "LOCK"};
    if (always.contains(w))
        return w;
    if ((w == QLatin1String("MERGE") || w == QLatin1String("REPLACE")) && k + 1 < t.size() && t.at(k + 1).isWord("INTO"))
        return w;
    return std::nullopt;
}

// The verb of the statement that a WITH clause at position w leads to: the first SELECT
// or writing verb outside the clause's parentheses (the names of its subqueries cannot
// be reserved words). Nothing when the statement is itself in parentheses.
std::optional<QString> mainVerbAfterWith(const QList<Token> &t, qsizetype w)
{
    int depth = 0;
    for (qsizetype k = w + 1; k < t.size(); ++k) {
        if (t.at(k).is('(')) {
            ++depth;
        } else if (t.at(k).is(')')) {
            if (--depth < 0)
                return std::nullopt;
        } else if (depth == 0) {
            if (t.at(k).isWord("SELECT"))
                return t.at(k).text;
            if (auto verb = writingVerb(t, k))
                return verb;
            if (t.at(k).is(';'))
                return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<QString> refusal(const QList<Token> &t)
{
    if (t.isEmpty())
        return QStringLiteral("it is empty");
    qsizetype first = 0;
    while (first < t.size() && t.at(first).is('('))
        ++first;
    if (first == t.size())
        return QStringLiteral("it holds nothing but parentheses");
    if (!t.at(first).isWord("SELECT") && !t.at(first).isWord("WITH"))
        return QStringLiteral("it begins with %1, and only queries (SELECT or WITH) are run").arg(t.at(first).text);
    for (qsizetype k = 0; k + 1 < t.size(); ++k)
        if (t.at(k).isWord("WITH") && (t.at(k + 1).isWord("FUNCTION") || t.at(k + 1).isWord("PROCEDURE")))
            return QStringLiteral("its WITH clause declares a PL/SQL %1, which the database would run")
                .arg(t.at(k + 1).text.toLower());
    for (qsizetype k = 0; k < t.size(); ++k) {
        if (t.at(k).is('(')) {
            if (auto verb = writingVerb(t, k + 1))
                return QStringLiteral("it holds %1 inside parentheses, and only queries are run").arg(*verb);
        } else if (t.at(k).isWord("WITH") && (k == first || t.at(k - 1).is('('))) {
            const auto verb = mainVerbAfterWith(t, k);
            if (verb && *verb != QLatin1String("SELECT"))
                return QStringLiteral("its WITH clause leads to %1, not to SELECT").arg(*verb);
        }
    }
    for (qsizetype k = 0; k + 1 < t.size(); ++k)
        if (t.at(k).isWord("FOR") && t.at(k + 1).isWord("UPDATE"))
            return QStringLiteral("FOR UPDATE would lock the rows it reads");
    // A sequence gives each number once: the rollback that undoes the rest cannot take it back.
    // Quoted in upper case, "NEXTVAL" is the same name to the database as NEXTVAL.
    for (qsizetype k = 1; k < t.size(); ++k)
        if ((t.at(k).isWord("NEXTVAL") || t.at(k).isName("\"NEXTVAL\"")) && t.at(k - 1).is('.'))
            return QStringLiteral("NEXTVAL would advance a sequence, and no rollback gives its numbers back");
    for (qsizetype k = 0; k + 1 < t.size(); ++k)
        if (t.at(k).is(';'))
            return QStringLiteral("it holds a second statement after \";\"");
    return std::nullopt;
}

} // namespace

void ensureReadOnly(const QString &statement)
{
    for (const bool anyBreak : {false, true}) {
        for (const bool suffix : {false, true}) {
            Lexer lexer(statement, Reading{anyBreak, suffix});
            const auto tokens = lexer.run();
            const auto why = tokens ? refusal(*tokens) : std::optional<QString>(lexer.failure());
            if (why)
                throw DbError(QStringLiteral("The statement was not sent: %1.").arg(*why));
        }
    }
}

} // namespace tavimond
