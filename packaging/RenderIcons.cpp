// Writes the program's logo as PNG icons for the desktop:
//   render-icons FOLDER SIZE...  ->  FOLDER/SIZExSIZE.png

#include "about/Logo.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: render-icons FOLDER SIZE...\n", stderr);
        return 2;
    }
    const QDir folder(args[1]);
    for (const QString &sizeText : args.mid(2)) {
        const int side = sizeText.toInt();
        const QString file = folder.filePath(QStringLiteral("%1x%1.png").arg(side));
        if (side <= 0 || !lexiglow::paintLogo(QSize(side, side), 1.0).save(file)) {
            std::fprintf(stderr, "render-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
