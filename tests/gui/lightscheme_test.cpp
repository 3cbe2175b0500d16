// The light scheme draws every screen exactly as the program drew it before it had a dark one, but
// for the darker blue of the selected row and the focused field's frame: the pictures in
// tests/data/lightscheme were taken from that program, on this harness's platform and font, and
// the four that show that blue again after its change. RINGLOG_WRITE_PICTURES=FOLDER writes the pictures taken instead
// of comparing, to renew them after a change of the drawing that is meant.
#include "schemescreens.h"

#include <cstdlib>

namespace {

using namespace schemescreens;

QString PictureName(const std::string& screen) {
    QString name = QString::fromStdString(screen);
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    return name + QStringLiteral(".png");
}

TEST_F(SchemeScreens, LightScreensArePixelIdenticalToThePicturesOfBeforeTheDarkScheme) {
    const std::vector<Shot> shots = TakeEveryScreen();
    ASSERT_EQ(shots.size(), 7u);
    const char* writeTo = std::getenv("RINGLOG_WRITE_PICTURES");
    for (const Shot& shot : shots) {
        if (writeTo != nullptr && *writeTo != '\0') {
            ASSERT_TRUE(shot.picture.save(QString::fromUtf8(writeTo) + QLatin1Char('/') + PictureName(shot.name)));
            continue;
        }
        const QString path = QStringLiteral(RINGLOG_TEST_DATA_DIR "/lightscheme/") + PictureName(shot.name);
        QImage expected(path);
        ASSERT_FALSE(expected.isNull()) << path.toStdString();
        expected = expected.convertToFormat(shot.picture.format());
        ASSERT_EQ(expected.size(), shot.picture.size()) << shot.name;
        int differing = 0;
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                differing += expected.pixel(x, y) != shot.picture.pixel(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << shot.name << " differs from " << path.toStdString();
    }
}

} // namespace
