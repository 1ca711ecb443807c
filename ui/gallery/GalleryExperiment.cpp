#include "ui/gallery/GalleryExperiment.h"

#include "sim/SimModule.h"
#include "sim/SimScenario.h"

#include <QRandomGenerator>

OutData galleryExperiment(const SMethod& method)
{
    OutData d;
    d.inData.pcrNumber = 1;
    d.inData.dateTime = QDateTime(QDate(2026, 12, 7), QTime(9, 30));
    d.inData.serialNumber = d.inData.dateTime.toString("yyyyMMdd_hhmmss");
    d.inData.remark = QStringLiteral("演示数据");
    d.inData.method = method;
    for (int i = 0; i < method.SampleNumber; ++i) {
        d.inData.sampleNames << QStringLiteral("样本%1").arg(i + 1);
        d.inData.sampleRemarks << QStringLiteral("第%1份").arg(i + 1);
    }
    const SimScenario chip = SimScenario::builtIn();
    SimModule module;
    QRandomGenerator noise(chip.seed());
    d.tempLines.resize(2);
    d.pdLines.resize(method.Hole * method.ChannelColor);
    int second = 0;
    int reading = 0;
    for (const ControlElement& e : method.getAllRunCmd()) {
        if (e.kind == SET_TEMP_All) {
            module.setTarget(true, e.upTemp);
            module.setTarget(false, e.downTemp);
        } else if (e.kind == STOP_TEMP) {
            module.stopHeater(true);
            module.stopHeater(false);
        } else if (e.kind == IMMUNE_CYCLE_DATA || e.kind == IMMUNE_MELT_DATA) {
            ++reading;
            for (int s = 0; s < d.pdLines.size(); ++s) {
                const double value = chip.reading(s / method.ChannelColor, s % method.ChannelColor, module.cycles(),
                                                  module.chipTemperature(), noise.generateDouble() * 2 - 1);
                d.pdLines[s].append(QPointF(reading, value));
            }
        }
        module.advance(1);
        ++second;
        d.tempLines[0].append(QPointF(second, module.temperature(true)));
        d.tempLines[1].append(QPointF(second, module.temperature(false)));
    }
    d.runComplete = true;
    return d;
}
