// tamarin-gallery: every reusable widget filled from a realistic experiment (the shipped full
// method run on the simulated chip, or an experiment file). With --grab DIR it writes one PNG per
// widget and quits.
#include "app/DataHead.h"
#include "files/OutData.h"
#include "method/JsonControl.h"
#include "ui/gallery/Gallery.h"
#include "ui/gallery/GalleryExperiment.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>
#include <QStyleFactory>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the program's widgets filled from a realistic experiment.");
    parser.addHelpOption();
    parser.addOptions({{"grab", "write one PNG per widget into DIR and quit", "DIR"},
                       {"method", "method file to run on the simulated chip", "FILE", TAMARIN_SOURCE_DIR "/methods/full-40-cycles-melt.json"},
                       {"pcrd", "show this experiment file instead", "FILE"}});
    parser.process(app);
    QTextStream err(stderr);
    const QString startDir = QDir::currentPath();

    OutData data;
    if (parser.isSet("pcrd")) {
        if (data.openAs(parser.value("pcrd")) != 0) {
            err << "cannot open " << parser.value("pcrd") << "\n";
            return 1;
        }
    } else {
        SMethod method;
        if (!JsonControl().openJsonMethod(parser.value("method"), method)) {
            err << "cannot read " << parser.value("method") << "\n";
            return 1;
        }
        data = galleryExperiment(method);
    }
    // The wizard lists the method files of the working folder: give it the shipped ones.
    QTemporaryDir work;
    QDir().mkpath(work.filePath("json"));
    for (const QFileInfo& file : QDir(TAMARIN_SOURCE_DIR "/methods").entryInfoList({"*.json"}))
        QFile::copy(file.filePath(), work.filePath("json/" + file.fileName()));
    QDir::setCurrent(work.path());
    DataHead::instance();
    Gallery gallery(data);
    if (parser.isSet("grab"))
        return gallery.grabAll(QDir(startDir).absoluteFilePath(parser.value("grab"))) > 0 ? 0 : 1;
    gallery.resize(1200, 900);
    gallery.show();
    return app.exec();
}
