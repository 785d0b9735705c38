#include "pdf_text.h"

#include <QHash>
#include <QtEndian>
#include <QRegularExpression>

#include <map>
#include <vector>

namespace tavimond::test {
namespace {

// A piece of a content stream or a CMap: a string's bytes, a name without its slash, an
// array's bracket, or a word (an operator, a number, a keyword).
struct Token {
    enum Kind { String, Name, Open, Close, Word } kind;
    QByteArray text;
};

bool isDelimiter(char c)
{
    return QByteArrayView("()<>[]{}/%").contains(c) || QByteArrayView(" \t\r\n\f").contains(c) || c == '\0';
}

QByteArray literalString(const QByteArray &s, qsizetype &i)
{
    QByteArray out;
    for (int depth = 1; ++i < s.size();) {
        char c = s[i];
        if (c == '(')
            ++depth;
        else if (c == ')' && --depth == 0)
            break;
        else if (c == '\\' && i + 1 < s.size()) {
            c = s[++i];
            if (c >= '0' && c <= '7') {
                int code = 0;
                for (int n = 0; n < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++n, ++i)
                    code = code * 8 + (s[i] - '0');
                --i;
                c = char(code);
            } else if (const qsizetype at = QByteArrayView("nrtbf").indexOf(c); at >= 0)
                c = "\n\r\t\b\f"[at];
            else if (c == '\r' || c == '\n')
                continue;
        }
        out += c;
    }
    return out;
}

std::vector<Token> tokens(const QByteArray &s)
{
    std::vector<Token> out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '%')
            while (i + 1 < s.size() && s[i + 1] != '\n' && s[i + 1] != '\r')
                ++i;
        else if (c == '(')
            out.push_back({Token::String, literalString(s, i)});
        else if (c == '<' && i + 1 < s.size() && s[i + 1] != '<') {
            const qsizetype end = s.indexOf('>', i);
            if (end < 0)
                break;
            out.push_back({Token::String, QByteArray::fromHex(s.mid(i + 1, end - i - 1))});
            i = end;
        } else if (c == '[' || c == ']')
            out.push_back({c == '[' ? Token::Open : Token::Close, {}});
        else if (!isDelimiter(c) || c == '/') {
            qsizetype end = i + 1;
            while (end < s.size() && !isDelimiter(s[end]))
                ++end;
            out.push_back({c == '/' ? Token::Name : Token::Word, s.mid(c == '/' ? i + 1 : i, end - i - (c == '/'))});
            i = end - 1;
        }
    }
    return out;
}

uint codeOf(const QByteArray &bytes)
{
    uint code = 0;
    for (char b : bytes)
        code = code << 8 | uchar(b);
    return code;
}

QString utf16(const QByteArray &bytes)
{
    QString out;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        out += QChar(char16_t(uchar(bytes[i]) << 8 | uchar(bytes[i + 1])));
    return out;
}

// A font's ToUnicode CMap: each glyph code's characters, from its bfchar and bfrange lists.
using Glyphs = QHash<uint, QString>;

Glyphs unicodeMap(const QByteArray &cmap)
{
    Glyphs out;
    const std::vector<Token> t = tokens(cmap);
    QByteArray section;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind == Token::Word) {
            section = t[i].text;
        } else if (section == "beginbfchar" && i + 1 < t.size()) {
            out.insert(codeOf(t[i].text), utf16(t[i + 1].text));
            ++i;
        } else if (section == "beginbfrange" && i + 2 < t.size()) {
            const uint low = codeOf(t[i].text), high = codeOf(t[i + 1].text);
            i += 2;
            if (t[i].kind == Token::Open) {
                for (uint code = low; code <= high && i + 1 < t.size() && t[++i].kind == Token::String; ++code)
                    out.insert(code, utf16(t[i].text));
                while (i + 1 < t.size() && t[i].kind != Token::Close)
                    ++i;
            } else { // the last character counts up from the first code's
                const QString first = utf16(t[i].text);
                for (uint code = low; code <= high && !first.isEmpty(); ++code) {
                    QString chars = first;
                    chars.back() = QChar(char16_t(first.back().unicode() + (code - low)));
                    out.insert(code, chars);
                }
            }
        }
    }
    return out;
}

class PdfFile {
public:
    // The objects' places from the cross-reference table at the file's end.
    explicit PdfFile(const QByteArray &data) : data_(data)
    {
        const qsizetype start = data.lastIndexOf("startxref");
        const qsizetype table = start < 0 ? -1 : data.mid(start + 9, 24).simplified().split(' ').value(0).toLongLong();
        if (table <= 0 || !data.mid(table).startsWith("xref"))
            return;
        const qsizetype trailer = data.indexOf("trailer", table);
        int next = 0;
        for (const QByteArray &line : data.mid(table, trailer - table).split('\n').mid(1)) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() == 2)
                next = f[0].toInt();
            else if (f.size() == 3 && f[2] == "n")
                offsets_[next++] = f[0].toLongLong();
            else if (f.size() == 3)
                ++next;
        }
        trailer_ = data.mid(trailer, data.indexOf("startxref", trailer) - trailer);
    }

    const QByteArray &trailer() const { return trailer_; }

    // An object's dictionary (or value), up to its stream if it has one.
    QByteArray object(int n) const
    {
        const auto at = offsets_.find(n);
        if (at == offsets_.end())
            return {};
        const qsizetype begin = data_.indexOf("obj", at->second) + 3;
        qsizetype end = data_.indexOf("endobj", begin);
        if (const qsizetype stream = data_.indexOf("stream", begin); stream >= 0 && stream < end)
            end = stream;
        return data_.mid(begin, end - begin);
    }

    // An object's stream, inflated when it is compressed.
    QByteArray stream(int n) const
    {
        const QByteArray dict = object(n);
        if (dict.isEmpty())
            return {};
        static const QRegularExpression length(QStringLiteral("/Length\\s+(\\d+)(\\s+0\\s+R)?"));
        const auto m = length.match(QString::fromLatin1(dict));
        const qsizetype size =
            m.captured(2).isEmpty() ? m.captured(1).toLongLong() : object(m.captured(1).toInt()).trimmed().toLongLong();
        qsizetype begin = data_.indexOf("stream", offsets_.at(n)) + 6;
        begin += data_.at(begin) == '\r' ? 2 : 1;
        const QByteArray raw = data_.mid(begin, size);
        if (!dict.contains("/FlateDecode"))
            return raw;
        // qUncompress reads the size it is to make first; it grows from a guess.
        QByteArray sized(4, '\0');
        qToBigEndian(quint32(raw.size() * 8), sized.data());
        return qUncompress(sized + raw);
    }

private:
    QByteArray data_;
    std::map<int, qsizetype> offsets_;
    QByteArray trailer_;
};

// The objects that a dictionary's entry refers to: one reference, or an array of them.
std::vector<int> refs(const QByteArray &dict, const char *key)
{
    const QRegularExpression entry(QStringLiteral("/%1\\s*(\\[[^\\]]*\\]|\\d+\\s+\\d+\\s+R)").arg(QLatin1String(key)));
    static const QRegularExpression ref(QStringLiteral("(\\d+)\\s+\\d+\\s+R"));
    std::vector<int> out;
    for (auto it = ref.globalMatch(entry.match(QString::fromLatin1(dict)).captured(1)); it.hasNext();)
        out.push_back(it.next().captured(1).toInt());
    return out;
}

void collectPages(const PdfFile &pdf, int node, std::vector<int> &pages)
{
    const QByteArray dict = pdf.object(node);
    if (!dict.contains("/Kids")) {
        pages.push_back(node);
        return;
    }
    for (int kid : refs(dict, "Kids"))
        collectPages(pdf, kid, pages);
}

QString pageText(const PdfFile &pdf, int page, std::map<int, Glyphs> &fontCache)
{
    QByteArray resources = pdf.object(page);
    if (const std::vector<int> r = refs(resources, "Resources"); !r.empty())
        resources = pdf.object(r.front());
    static const QRegularExpression fontDict(QStringLiteral("/Font\\s*<<([^>]*)>>"));
    static const QRegularExpression fontEntry(QStringLiteral("/([^\\s/]+)\\s+(\\d+)\\s+\\d+\\s+R"));
    QHash<QByteArray, const Glyphs *> fonts;
    for (auto it = fontEntry.globalMatch(fontDict.match(QString::fromLatin1(resources)).captured(1)); it.hasNext();) {
        const auto m = it.next();
        const int font = m.captured(2).toInt();
        if (!fontCache.count(font)) {
            const std::vector<int> map = refs(pdf.object(font), "ToUnicode");
            fontCache[font] = map.empty() ? Glyphs() : unicodeMap(pdf.stream(map.front()));
        }
        fonts.insert(m.captured(1).toLatin1(), &fontCache[font]);
    }
    QByteArray content;
    for (int part : refs(pdf.object(page), "Contents"))
        content += pdf.stream(part) + '\n';

    QString out;
    const Glyphs *font = nullptr;
    QByteArray lastName;
    std::vector<QByteArray> strings; // shown by the next operator
    for (const Token &t : tokens(content)) {
        if (t.kind == Token::Name)
            lastName = t.text;
        else if (t.kind == Token::String)
            strings.push_back(t.text);
        else if (t.kind == Token::Word && !QByteArrayView("+-.0123456789").contains(t.text.front())) {
            if (t.text == "Tf")
                font = fonts.value(lastName);
            else if (t.text == "Tj" || t.text == "TJ" || t.text == "'" || t.text == "\"")
                for (const QByteArray &s : strings)
                    for (qsizetype i = 0; i + 1 < s.size(); i += 2) // two-byte codes, as Qt's fonts are encoded
                        out += font ? font->value(codeOf(s.mid(i, 2)), QString(QChar::ReplacementCharacter))
                                    : QString(QChar::ReplacementCharacter);
            strings.clear();
        }
    }
    return out;
}

} // namespace

QStringList pdfPageTexts(const QByteArray &data)
{
    const PdfFile pdf(data);
    const std::vector<int> root = refs(pdf.trailer(), "Root");
    const std::vector<int> tree = root.empty() ? root : refs(pdf.object(root.front()), "Pages");
    std::vector<int> pages;
    if (!tree.empty())
        collectPages(pdf, tree.front(), pages);
    std::map<int, Glyphs> fonts;
    QStringList out;
    for (int page : pages)
        out << pageText(pdf, page, fonts);
    return out;
}

} // namespace tavimond::test
