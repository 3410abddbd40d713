#pragma once
// Fonts of the window layouts, given in points at 96 dots per inch. Sizes are
// set in pixels so that captions fit their controls on any screen setting.

#include <QFont>
#include <QString>

namespace vastrel::tk {

// Maps the layouts' Windows font names to installed fonts: a Japanese sans
// serif for the Japanese faces, a Times-metric serif for "Times New Roman".
void installFontSubstitutes();

QFont layoutFont(const QString& family, double points, bool italic = false);

}  // namespace vastrel::tk
