// dbv import of a full folder as real ticket sets come: 800 questions, about
// 550 WebP pictures of 604 x 225 named .jpg, each shown by one or two
// questions. The folder is made once, outside the measurement.
#include "dbvtool.h"
#include "jsonticketfixture.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int PictureCount = 550;

QByteArray scene(int n)
{
    // A different drawing each time, so no two pictures are alike.
    QImage image(604, 225, QImage::Format_RGB888);
    image.fill(QColor(120 + n % 100, 160, 90));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(90, 90, 95));
    painter.drawRect(0, 90 + n % 20, 604, 60);
    painter.setBrush(Qt::red);
    painter.drawEllipse(QPoint(50 + n % 500, 60), 25, 25);
    painter.setPen(Qt::white);
    painter.drawText(20, 210, QStringLiteral("Рисунок %1").arg(n));
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "webp", 85);
    return buffer.data();
}

void BM_ImportFolder(benchmark::State &state)
{
    QTemporaryDir dir;
    JsonTicketFolderFixture folder(dir.filePath("source"));
    for (int a = 1; a <= 800; ++a) {
        const int picture = (a * 7) % 800;
        if (picture >= PictureCount)
            continue;
        const QString name = QStringLiteral("images/A_B/p%1.jpg").arg(picture);
        if (a <= PictureCount)
            folder.writePicture(name, scene(picture));
        folder.setImage((a - 1) / 20 + 1, (a - 1) % 20 + 1, "./" + name);
    }
    for (int p = 0; p < PictureCount; ++p)
        folder.writePicture(QStringLiteral("images/A_B/p%1.jpg").arg(p), scene(p));
    folder.write();

    for (auto _ : state) {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int code = runDbv({"import", folder.root(), dir.filePath("out.dbv")}, out, err);
        if (code != 0)
            state.SkipWithError(err.data().constData());
        // The summary's first line shows what was measured.
        state.SetLabel(out.data().split('\n').first().mid(out.data().indexOf(':') + 2).toStdString());
    }
}
BENCHMARK(BM_ImportFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
