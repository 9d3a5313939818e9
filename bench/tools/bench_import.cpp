// dbv import of a full folder as real ticket sets come: 800 questions, about
// 550 WebP pictures of 604 x 225 named .jpg, each shown by one or two
// questions; and of the same folder packed as a downloaded zip of about the
// real set's size. The folder is made once, outside the measurement.
#include "archivemaker.h"
#include "dbvtool.h"
#include "jsonticketfixture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
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
    // Photographs of real roads carry fine detail: some grain makes each
    // picture as large as theirs (the real set packs to about 15 MB).
    QRandomGenerator grain{quint32(n)};
    for (int y = 0; y < image.height(); ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < image.width() * 3; ++x)
            line[x] = uchar(qBound(0, line[x] + int(grain.bounded(24)) - 12, 255));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "webp", 85);
    return buffer.data();
}

// The folder, made on first use and kept for every benchmark.
const JsonTicketFolderFixture &sourceFolder(const QTemporaryDir &dir)
{
    static std::unique_ptr<JsonTicketFolderFixture> folder;
    if (folder)
        return *folder;
    folder = std::make_unique<JsonTicketFolderFixture>(dir.filePath("source"));
    for (int a = 1; a <= 800; ++a) {
        const int picture = (a * 7) % 800;
        if (picture >= PictureCount)
            continue;
        folder->setImage((a - 1) / 20 + 1, (a - 1) % 20 + 1,
                         "./" + QStringLiteral("images/A_B/p%1.jpg").arg(picture));
    }
    for (int p = 0; p < PictureCount; ++p)
        folder->writePicture(QStringLiteral("images/A_B/p%1.jpg").arg(p), scene(p));
    folder->write();
    return *folder;
}

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

void runImport(benchmark::State &state, const QString &source)
{
    for (auto _ : state) {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int code = runDbv({"import", source, workDir().filePath("out.dbv")}, out, err);
        if (code != 0)
            state.SkipWithError(err.data().constData());
        // The summary's first line shows what was measured.
        state.SetLabel(
            out.data().split('\n').first().mid(out.data().indexOf(':') + 2).toStdString());
    }
}

void BM_ImportFolder(benchmark::State &state)
{
    runImport(state, sourceFolder(workDir()).root());
}

void BM_ImportZip(benchmark::State &state)
{
    const QString archive = workDir().filePath("tickets-master.zip");
    if (!QFileInfo::exists(archive)) {
        ArchiveMaker::writeFile(
            archive, ArchiveMaker::make(ArchiveMaker::Format::Zip,
                                        ArchiveMaker::entriesOf(sourceFolder(workDir()).root(),
                                                                "tickets-master/")));
    }
    state.counters["archive_MB"] = QFileInfo(archive).size() / 1e6;
    runImport(state, archive);
}
BENCHMARK(BM_ImportZip)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ImportFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
