#include "collation.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include <QByteArray>
#include <QCollator>
#include <QLocale>
#include <QString>

namespace {

// The user's collation, built once. QLocale::system().collation() follows LC_ALL, LC_COLLATE
// and LANG, so the order is that of the collation the user asked for even where that locale
// was never generated for the C library: the collator's data come from ICU.
struct UserCollation {
    QCollator collator;
    // The C/POSIX collation may be plain code-point order that honours case; we fold case
    // ourselves there.
    bool isC;
    // The collation orders plain ASCII letters and digits as code points do.
    bool plainLatin;

    UserCollation() : collator(QLocale::system().collation())
    {
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        collator.setIgnorePunctuation(false);
        isC = collator.locale().language() == QLocale::C;
        plainLatin = collator.locale().language() == QLocale::Japanese ||
                     collator.locale().language() == QLocale::English;
        // The collator finishes its set-up on first use; do that here, under the static's
        // guard, so that later calls from any thread only read it.
        collator.compare(QStringLiteral("a"), QStringLiteral("b"));
    }
};

const UserCollation& Collation()
{
    static const UserCollation collation;
    return collation;
}

// Length of the well-formed UTF-8 sequence that starts at s[i] (a byte of 0x80 or more),
// or 0 if the bytes there are not one: overlong forms, surrogates and values past U+10FFFF
// count as malformed, exactly as the decoder would reject them.
size_t Utf8SequenceLength(const std::string& s, size_t i)
{
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = byte(i);
    size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) n = 2;
    else if (c == 0xE0) { n = 3; lo = 0xA0; }
    else if (c == 0xED) { n = 3; hi = 0x9F; }
    else if (c >= 0xE1 && c <= 0xEF) n = 3;
    else if (c == 0xF0) { n = 4; lo = 0x90; }
    else if (c == 0xF4) { n = 4; hi = 0x8F; }
    else if (c >= 0xF1 && c <= 0xF3) n = 4;
    else return 0;
    if (i + n > s.size()) return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return n;
}

}  // namespace

int CompareStringUserIgnoreCase(const std::string& a, const std::string& b)
{
    const UserCollation& c = Collation();
    QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    int r = c.isC ? QString::compare(qa, qb, Qt::CaseInsensitive) : c.collator.compare(qa, qb);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

std::string CharLower(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            ++i;
            continue;
        }
        // Lower-case a run of well-formed characters in one go; a malformed byte is not a
        // character of the code page and goes through untouched, so names that are not valid
        // UTF-8 still compare equal to themselves after lower-casing.
        size_t start = i;
        while (i < s.size() && static_cast<unsigned char>(s[i]) >= 0x80) {
            size_t n = Utf8SequenceLength(s, i);
            if (n == 0) break;
            i += n;
        }
        if (i == start) {
            out += s[i++];
            continue;
        }
        QByteArray lower =
            QString::fromUtf8(s.data() + start, static_cast<qsizetype>(i - start)).toLower().toUtf8();
        out.append(lower.constData(), static_cast<size_t>(lower.size()));
    }
    return out;
}

void SortStringsUserIgnoreCase(std::vector<std::string>& items)
{
    // Each string is prepared once, not once per comparison. Under the C collation the
    // lower-cased bytes are the whole key (UTF-8 byte order is code-point order); otherwise
    // the collator compares the converted strings directly, which for paths that share a
    // long folder prefix beats building sort keys.
    const UserCollation& c = Collation();
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (c.isC) {
        std::vector<std::string> keys;
        keys.reserve(items.size());
        for (const std::string& s : items)
            keys.push_back(CharLower(s));
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    } else {
        // A leading run that every string shares, up to and including a "/", weighs the same
        // on both sides of every comparison: the pages of one folder are ordered by their
        // names alone, which is most of the cost saved.
        size_t shared = items.empty() ? 0 : items[0].size();
        for (const std::string& s : items) {
            size_t n = 0;
            while (n < shared && n < s.size() && s[n] == items[0][n])
                ++n;
            shared = n;
        }
        const size_t slash = items.empty() ? std::string::npos : items[0].rfind('/', shared == 0 ? 0 : shared - 1);
        const size_t skip = slash == std::string::npos || shared == 0 ? 0 : slash + 1;
        // Under the Japanese and English collations, names made only of ASCII letters,
        // digits, "." and "/" (most page files) order as their lower-cased bytes do: "."
        // before "/" before the digits before the letters, case ignored. Those need no
        // collator at all. (Other languages tailor Latin letters: Danish puts "aa" after "z".)
        auto simple = [](const std::string& str, size_t from) {
            for (size_t i = from; i < str.size(); ++i) {
                const unsigned char ch = static_cast<unsigned char>(str[i]);
                if (!std::isalnum(ch) && ch != '.' && ch != '/')
                    return false;
            }
            return true;
        };
        if (c.plainLatin &&
            std::all_of(items.begin(), items.end(), [&](const std::string& str) { return simple(str, skip); })) {
            std::vector<std::string> keys;
            keys.reserve(items.size());
            for (const std::string& str : items)
                keys.push_back(CharLower(str.substr(skip)));
            std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
        } else {
            std::vector<QString> keys;
            keys.reserve(items.size());
            for (const std::string& str : items)
                keys.push_back(QString::fromUtf8(str.data() + skip, static_cast<qsizetype>(str.size() - skip)));
            std::sort(order.begin(), order.end(),
                      [&](size_t a, size_t b) { return c.collator.compare(keys[a], keys[b]) < 0; });
        }
    }
    std::vector<std::string> sorted;
    sorted.reserve(items.size());
    for (size_t i : order)
        sorted.push_back(std::move(items[i]));
    items.swap(sorted);
}
