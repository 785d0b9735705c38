#include "statement.h"

#include <QRegularExpression>
#include <QStringList>

namespace tavimond::sim {
namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#');
}

} // namespace

std::vector<Token> Statement::tokenize(const QString &s)
{
    std::vector<Token> out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    auto at = [&](qsizetype k) { return k < n ? s.at(k) : QChar(); };
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && at(i + 1) == QLatin1Char('-')) {
            const qsizetype eol = s.indexOf(QLatin1Char('\n'), i);
            i = eol < 0 ? n : eol + 1;
        } else if (c == QLatin1Char('/') && at(i + 1) == QLatin1Char('*')) {
            const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('\'')) {
            QString value;
            qsizetype j = i + 1;
            while (j < n) {
                if (s.at(j) == QLatin1Char('\'')) {
                    if (at(j + 1) == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += s.at(j++);
            }
            out.push_back({Token::String, quoted(value), value});
            i = j;
        } else if (c == QLatin1Char('"')) {
            const qsizetype end = s.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            const QString text = s.mid(i, stop - i);
            out.push_back({Token::QuotedName, text, text.mid(1, text.size() - 2)});
            i = stop;
        } else if (c.isDigit() || (c == QLatin1Char('.') && at(i + 1).isDigit())) {
            qsizetype j = i;
            while (j < n && s.at(j).isDigit())
                ++j;
            if (at(j) == QLatin1Char('.')) {
                ++j;
                while (j < n && s.at(j).isDigit())
                    ++j;
            }
            if ((at(j) == QLatin1Char('e') || at(j) == QLatin1Char('E')) &&
                (at(j + 1).isDigit() ||
                 ((at(j + 1) == QLatin1Char('+') || at(j + 1) == QLatin1Char('-')) && at(j + 2).isDigit()))) {
                j += 2;
                while (j < n && s.at(j).isDigit())
                    ++j;
            }
            const QString text = s.mid(i, j - i);
            out.push_back({Token::Number, text.toLower(), text});
            i = j;
        } else if (isWordStart(c)) {
            qsizetype j = i + 1;
            while (j < n && isWordPart(s.at(j)))
                ++j;
            const QString text = s.mid(i, j - i);
            out.push_back({Token::Word, text.toLower(), text});
            i = j;
        } else {
            static const char *const pairs[] = {"||", ">=", "<=", "<>", "!=", ":=", "=>"};
            QString text(c);
            for (const char *p : pairs) {
                if (c == QLatin1Char(p[0]) && at(i + 1) == QLatin1Char(p[1])) {
                    text = QString::fromLatin1(p);
                    break;
                }
            }
            out.push_back({Token::Symbol, text, text});
            i += text.size();
        }
    }
    return out;
}

Statement::Statement(QString sql) : sql_(std::move(sql)), tokens_(tokenize(sql_))
{}

QString Statement::normal() const
{
    QStringList parts;
    parts.reserve(qsizetype(tokens_.size()));
    for (const Token &t : tokens_)
        parts << t.text;
    return parts.join(QLatin1Char(' '));
}

int Statement::after(const QString &phrase, int from) const
{
    const std::vector<Token> p = tokenize(phrase);
    if (p.empty())
        return from;
    const int n = int(tokens_.size());
    const int k = int(p.size());
    for (int i = std::max(from, 0); i + k <= n; ++i) {
        bool same = true;
        for (int j = 0; j < k && same; ++j)
            same = tokens_[size_t(i + j)].text == p[size_t(j)].text;
        if (same)
            return i + k;
    }
    return -1;
}

bool Statement::has(const QString &phrase) const
{
    return after(phrase) >= 0;
}

bool Statement::hasAll(std::initializer_list<const char *> phrases) const
{
    for (const char *p : phrases)
        if (!has(QString::fromUtf8(p)))
            return false;
    return true;
}

std::optional<Token> Statement::tokenAfter(const QString &phrase) const
{
    const int i = after(phrase);
    if (i < 0 || i >= int(tokens_.size()))
        return std::nullopt;
    return tokens_[size_t(i)];
}

std::optional<qint64> Statement::integerAfter(const QString &phrase) const
{
    int i = after(phrase);
    if (i < 0 || i >= int(tokens_.size()))
        return std::nullopt;
    bool negative = false;
    if (tokens_[size_t(i)].text == QLatin1String("-")) {
        negative = true;
        ++i;
    }
    if (i >= int(tokens_.size()) || tokens_[size_t(i)].kind != Token::Number)
        return std::nullopt;
    bool ok = false;
    const qint64 v = tokens_[size_t(i)].value.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return negative ? -v : v;
}

std::optional<QString> Statement::stringAfter(const QString &phrase) const
{
    const auto t = tokenAfter(phrase);
    if (!t || t->kind != Token::String)
        return std::nullopt;
    return t->value;
}

QString quoted(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString columnHeading(const std::vector<Token> &tokens, size_t from, size_t to)
{
    // qualifier . qualifier . name
    bool column = (to - from) % 2 == 1;
    for (size_t i = from; i < to && column; ++i)
        column = (i - from) % 2 == 0
                     ? tokens[i].kind == Token::Word || tokens[i].kind == Token::QuotedName
                     : tokens[i].kind == Token::Symbol && tokens[i].text == QLatin1String(".");
    if (column) {
        const Token &name = tokens[to - 1];
        return name.kind == Token::Word ? name.value.toUpper() : name.value;
    }
    // Literals too: 'Hello World' is named 'HELLOWORLD'.
    QString s;
    for (size_t i = from; i < to; ++i) {
        if (tokens[i].kind == Token::QuotedName)
            s += tokens[i].text;
        else if (tokens[i].kind == Token::String)
            s += QString(tokens[i].text).remove(QRegularExpression(QStringLiteral("\\s"))).toUpper();
        else
            s += tokens[i].value.toUpper();
    }
    return s;
}

} // namespace tavimond::sim
