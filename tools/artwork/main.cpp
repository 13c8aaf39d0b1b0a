// quorel-artwork OUTPUT_DIR VERSION: draws every picture of the reader window
// into OUTPUT_DIR; the build runs it and compiles the pictures into the program.
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "artwork.h"

namespace {

bool SaveAll(const QDir& folder, const QString& version) {
    using namespace artwork;
    const QImage background = ToolbarBackground();
    const struct {
        const char* name;
        QImage image;
    } pictures[] = {
        {"toolbar_background.png", background},
        {"toolbar_normal.png", ToolbarStrip(ButtonState::kNormal, background)},
        {"toolbar_disabled.png", ToolbarStrip(ButtonState::kDisabled, background)},
        {"toolbar_hot.png", ToolbarStrip(ButtonState::kHot, background)},
        {"slider_cursor.png", SliderCursor()},
        {"quorel.png", ProgramIcon()},
        {"tree_closed.png", TreeIcon(false)},
        {"tree_open.png", TreeIcon(true)},
        {"list_prev.png", ListPageStrip(false)},
        {"list_next.png", ListPageStrip(true)},
        {"about.png", AboutPicture(version)},
    };
    for (const auto& picture : pictures) {
        if (!picture.image.save(folder.filePath(QString::fromLatin1(picture.name)))) {
            std::fprintf(stderr, "quorel-artwork: cannot write %s\n", picture.name);
            return false;
        }
    }
    if (!WriteMarginTexture(folder.filePath(QStringLiteral("Back.gif")))) {
        std::fprintf(stderr, "quorel-artwork: cannot write Back.gif\n");
        return false;
    }
    if (!WriteSplashMovie(folder.filePath(QStringLiteral("main.gif")))) {
        std::fprintf(stderr, "quorel-artwork: cannot write main.gif\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorel-artwork OUTPUT_DIR VERSION\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "quorel-artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    return SaveAll(folder, QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
