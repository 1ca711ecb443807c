#pragma once

#include "app/DataHead.h"
#include "records/ExperimentRef.h"
#include "records/LisDelivery.h"
#include "records/Roles.h"
#include "records/StoreThread.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class OutData;
class QMenu;
class QWidget;

// What the run page and the data page offer for a saved experiment's records: its signature, an
// administrator's unlock, the printed report and its history. The store decides; these ask.
namespace RecordActions {

// work(session) with the window's record session, on the store's thread, and its answer: the
// window never stops while the store is slow to answer.
template <class Work>
auto ask(Work&& work)
{
    return DataHead::instance()->getMpStore()->call(std::forward<Work>(work));
}
// The session's answers the pages ask for most.
QString refusal(Permission permission);
QString changeRefusal(const QString& path, Permission permission = Permission::ChangeResults);
bool record(const QString& action, const QString& objectType, const QString& objectName, const QString& oldValue = QString(),
            const QString& newValue = QString());
// Gives a record about to be saved its id and the trail's head.
void stamp(OutData& record);
// A run's entry goes on whatever the store does (the journal keeps it meanwhile), so nobody waits for it.
void recordRun(const ExperimentRef& experiment, const QString& action, const QString& newValue = QString());
// ... and so does the save of a run's file, with its results for the index.
void recordRunSave(const QString& path);
// Says refusal when there is one (and records it); true when there is none.
bool allowed(QWidget* parent, const QString& refusal);
// The experiment of a file: its name (the file name without ".pcrd") and its id.
ExperimentRef experimentOf(const QString& path);

// Adds the actions for the experiment at path; changed runs after a signature or unlock.
void addTo(QMenu& menu, QWidget* parent, const QString& path, const std::function<void()>& changed);
void printReport(QWidget* parent, const QString& path);
// What an Excel report or CSV table of the experiment at path carries of its records.
QVector<QStringList> exportRows(const QString& path);
// The trail learns of a copy or export written from path; nothing when written is empty.
void recordExport(const QString& path, const QString& written);
// ... and of an experiment file that came in from source.
// False, with the file at path removed, when the trail did not take it.
bool recordImport(const QString& path, const QString& source);

// Sends the experiment's results to the LIS when the settings ask for it at this moment, and
// tells what happened over parent without waiting for an answer.
void sendToLis(QWidget* parent, const QString& path, LisDelivery::Moment moment);

// One line on the experiment's signatures for the page header, empty when it has none; red
// tells whether it warns that the file changed after signing.
QString signatureLine(const QString& path, bool& red);

}
