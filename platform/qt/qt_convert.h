#pragma once
// Conversions between the class library's values and Qt's.
#include <string>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include "controls.h"
#include "messages.h"

inline QString QStr(const std::string& s) { return QString::fromStdString(s); }
inline std::string StdStr(const QString& s) { return s.toStdString(); }

// TColor keeps red in the low byte.
inline QColor QColorOf(TColor c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

QFont QFontOf(const TFont& font);

// A copy of the bitmap whose pixels of the bottom-left pixel's colour are transparent, as the
// tool-bar pictures and the icon are drawn.
QImage TransparentImage(const TBitmap& bitmap);
// The pixels of a surface as an image, without copying; valid while the surface is unchanged.
QImage WrapSurface(const TPixelSurface& surface);

// The text a menu shows beside an item for its shortcut ("Left", "Ctrl+O").
QString ShortCutText(TShortCut shortCut);
// A hint's short part: the text before "|".
QString ShortHint(const std::string& hint);
// A label's caption as shown: "&" marks the access key and "&&" is a literal "&".
QString LabelText(const std::string& caption);
