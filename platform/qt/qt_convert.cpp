#include "qt_convert.h"

#include <cstring>

QFont QFontOf(const TFont& font)
{
    QFont f;
    // The families the program names may be missing here; these look alike and come with
    // the system's Japanese fonts.
    f.setFamilies({QStr(font.Name), QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    f.setPixelSize(font.Height < 0 ? -font.Height : (font.Height > 0 ? font.Height : 12));
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    return f;
}

QImage TransparentImage(const TBitmap& bitmap)
{
    const TPixelSurface& s = bitmap.Pixels();
    QImage image(s.Width, s.Height, QImage::Format_ARGB32);
    if (s.Width <= 0 || s.Height <= 0)
        return image;
    const std::uint32_t key = s.Row(s.Height - 1)[0] | 0xFF000000u;
    for (int y = 0; y < s.Height; ++y) {
        const std::uint32_t* src = s.Row(y);
        auto* dst = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < s.Width; ++x) {
            const std::uint32_t p = src[x] | 0xFF000000u;
            dst[x] = p == key ? 0u : p;
        }
    }
    return image;
}

QImage WrapSurface(const TPixelSurface& surface)
{
    if (surface.Width <= 0 || surface.Height <= 0 || surface.Data.empty())
        return QImage();
    return QImage(reinterpret_cast<const uchar*>(surface.Data.data()), surface.Width, surface.Height,
                  qsizetype(surface.Width) * 4, QImage::Format_RGB32);
}

static QString KeyName(unsigned key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return QString(QChar(char16_t(key)));
    if (key >= 112 && key <= 123)
        return QStringLiteral("F%1").arg(key - 111);
    switch (key) {
    case 8: return QStringLiteral("BkSp");
    case 9: return QStringLiteral("Tab");
    case 13: return QStringLiteral("Enter");
    case 27: return QStringLiteral("Esc");
    case 32: return QStringLiteral("Space");
    case 33: return QStringLiteral("PgUp");
    case 34: return QStringLiteral("PgDn");
    case 35: return QStringLiteral("End");
    case 36: return QStringLiteral("Home");
    case VK_LEFT: return QStringLiteral("Left");
    case VK_UP: return QStringLiteral("Up");
    case VK_RIGHT: return QStringLiteral("Right");
    case VK_DOWN: return QStringLiteral("Down");
    case 45: return QStringLiteral("Ins");
    case 46: return QStringLiteral("Del");
    default: return QString();
    }
}

QString ShortCutText(TShortCut shortCut)
{
    const QString name = KeyName(shortCut & 0xFF);
    if (name.isEmpty())
        return QString();
    QString text;
    if (shortCut & scShift)
        text += QStringLiteral("Shift+");
    if (shortCut & scCtrl)
        text += QStringLiteral("Ctrl+");
    if (shortCut & scAlt)
        text += QStringLiteral("Alt+");
    return text + name;
}

QString ShortHint(const std::string& hint)
{
    const auto bar = hint.find('|');
    return QStr(bar == std::string::npos ? hint : hint.substr(0, bar));
}

QString LabelText(const std::string& caption)
{
    std::string out;
    out.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return QStr(out);
}
