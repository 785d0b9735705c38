#pragma once

#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

namespace tavimond::sim {

// One SQL token. Words and symbols are lower-cased; string literals keep their case.
struct Token {
    enum Kind { Word, Number, String, QuotedName, Symbol };
    Kind kind;
    QString text;  // normalised form used for matching
    QString value; // string literal without quotes (inner '' as '); otherwise the source text
};

// A statement as the simulated instance sees it: tokens the way Oracle's tokenizer
// reads them, so that case, line breaks, blanks and comments do not matter
// ("sid = 12and inst_id = 1" reads as sid = 12 and inst_id = 1).
class Statement {
public:
    explicit Statement(QString sql);
    static std::vector<Token> tokenize(const QString &sql);

    const QString &sql() const { return sql_; }
    const std::vector<Token> &tokens() const { return tokens_; }
    // The tokens joined by single blanks.
    QString normal() const;

    // True when the phrase's tokens stand in the statement in that order, side by side.
    bool has(const QString &phrase) const;
    bool hasAll(std::initializer_list<const char *> phrases) const;
    // Index of the first token after the first occurrence of the phrase; -1 if absent.
    int after(const QString &phrase, int from = 0) const;
    // The token that follows the phrase.
    std::optional<Token> tokenAfter(const QString &phrase) const;
    // A (possibly negative) whole number right after the phrase.
    std::optional<qint64> integerAfter(const QString &phrase) const;
    // A string literal right after the phrase, unquoted.
    std::optional<QString> stringAfter(const QString &phrase) const;

private:
    QString sql_;
    std::vector<Token> tokens_;
};

// Reads a statement's tokens front to back. Words and symbols are matched by their
// normalised text; a string literal never matches a word.
class TokenCursor {
public:
    // Reads tokens from `from` up to `end` (the statement's end by default).
    explicit TokenCursor(const std::vector<Token> &tokens, size_t from = 0, size_t end = size_t(-1))
        : t_(tokens), i_(from), end_(std::min(end, tokens.size()))
    {}

    bool atEnd() const { return i_ >= end_; }
    size_t pos() const { return i_; }
    void reset(size_t p) { i_ = p; }
    const Token *peek(size_t ahead = 0) const { return i_ + ahead < end_ ? &t_[i_ + ahead] : nullptr; }
    bool is(const char *text, size_t ahead = 0) const
    {
        const Token *k = peek(ahead);
        return k && k->kind != Token::String && k->text == QLatin1String(text);
    }
    bool accept(const char *text)
    {
        if (!is(text))
            return false;
        ++i_;
        return true;
    }
    // The next token when it is of that kind, else nothing; taken either way only when it is.
    const Token *take(Token::Kind kind)
    {
        const Token *k = peek();
        if (!k || k->kind != kind)
            return nullptr;
        ++i_;
        return k;
    }

protected:
    const std::vector<Token> &t_;
    size_t i_ = 0;
    size_t end_;
};

// SQL-style quoting for literals in answers and tests: O'BRIEN -> 'O''BRIEN'.
QString quoted(const QString &text);

// The name the database gives an unaliased select-list expression, tokens [from, to):
// a column's own name (upper-cased unless quoted, without its qualifier), otherwise the
// expression's text without blanks and upper-cased, its literals too.
QString columnHeading(const std::vector<Token> &tokens, size_t from, size_t to);

} // namespace tavimond::sim
