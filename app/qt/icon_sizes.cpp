// Writes the program's icon in the sizes of the desktop's icon theme, scaled
// smoothly from the large one, as <folder>/<n>x<n>/apps/<name>, each a
// true-colour image with alpha whatever the source's format.
// Usage: orvanta-icon-sizes <icon.png> <folder> <name> <size>...
#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <icon.png> <folder> <name> <size>...\n", argv[0]);
        return 2;
    }
    // A palette source would be scaled within its palette (dithered specks);
    // premultiplied alpha averages the edges without dark fringes.
    const QImage icon = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (icon.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString sizeFolder = folder + QStringLiteral("/%1x%1/apps").arg(size);
        if (size <= 0 || !QDir().mkpath(sizeFolder)) return 1;
        const QImage scaled = icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        if (!scaled.save(sizeFolder + QLatin1Char('/') + name, "PNG")) return 1;
    }
    return 0;
}
