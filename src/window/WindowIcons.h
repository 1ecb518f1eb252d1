#pragma once

#include <QIcon>
#include <QString>

// The images the document window draws: bundled SVGs, or the desktop theme's
// icon where it offers one.
namespace WindowIcons {

// The bundled image with that name (for example "FileOKIcon").
QIcon bundled(const QString& name);
// The theme's icon with that name, else the bundled image.
QIcon themed(const QString& themeName, const QString& bundledName);

} // namespace WindowIcons
