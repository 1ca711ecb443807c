#include "ui/records/HistoryDialog.h"

#include "records/RecordSession.h"
#include "ui/records/RecordActions.h"
#include "ui_HistoryDialog.h"

#include <QHeaderView>

HistoryDialog::HistoryDialog(const ExperimentRef& ref, QWidget* parent)
    : QDialog(parent), ui(new Ui::HistoryDialog)
{
    ui->setupUi(this);
    const QString experiment = ref.name;
    setWindowTitle(experiment.isEmpty() ? QStringLiteral("审计记录（全部）") : QStringLiteral("审计记录 · %1").arg(experiment));
    // What the store says, asked in one go. The chain is checked over the whole trail, which grows
    // with the years: only where the whole trail is asked for, not at every experiment's history.
    struct Said {
        AuditTrail::Check check;
        QString signatures;
        Signatures::State state;
        QVector<AuditEntry> entries;
    };
    const Said said = RecordActions::ask([&ref, &experiment](RecordSession& session) {
        Said s;
        if (experiment.isEmpty()) {
            s.check = session.trail().verify();
            s.signatures = session.signatures().verify();
        }
        s.state = session.signatures().of(ref);
        s.entries = experiment.isEmpty() ? session.trail().list() : session.trail().ofExperiment(ref);
        return s;
    });
    QStringList lines;
    if (experiment.isEmpty()) {
        const AuditTrail::Check& check = said.check;
        if (check.brokenAt > 0 || !check.why.isEmpty()) {
            ui->label_Chain->setStyleSheet("color:rgb(200, 0, 0);");
            lines << QStringLiteral("审计记录已被改动：校验链在第%1条处断开（%2）").arg(check.brokenAt).arg(check.why);
        } else {
            lines << QStringLiteral("审计记录完整：共%1条，校验链无断点（最后一条的哈希 %2）").arg(check.entries).arg(check.lastHash.left(16));
        }
        const QString& signatures = said.signatures;
        if (!signatures.isEmpty()) {
            ui->label_Chain->setStyleSheet("color:rgb(200, 0, 0);");
            lines << signatures;
        }
    }
    QStringList signers;
    const Signatures::State& state = said.state;
    for (const Signature& s : state.holding + state.voided)
        signers << QStringLiteral("%1 %2 %3%4").arg(s.fullName, s.meaning, s.at.toLocalTime().toString("yyyy-MM-dd HH:mm"),
                                                    s.voided.isEmpty() ? QString() : QStringLiteral("（已作废：%1）").arg(s.voided));
    if (!experiment.isEmpty())
        lines << (signers.isEmpty() ? QStringLiteral("未签名") : QStringLiteral("签名：") + signers.join(QStringLiteral("；")));
    // Rows that do not fit their entries count for nothing but are shown, in red.
    if (!experiment.isEmpty() && !state.misfits.isEmpty()) {
        ui->label_Chain->setStyleSheet("color:rgb(200, 0, 0);");
        lines << state.misfits;
    }
    ui->label_Chain->setText(lines.join('\n'));

    const QVector<AuditEntry>& entries = said.entries;
    const QStringList headers = {QStringLiteral("时间"), QStringLiteral("用户"), QStringLiteral("计算机"), QStringLiteral("操作"),
                                 QStringLiteral("对象"), QStringLiteral("原值"), QStringLiteral("新值"), QStringLiteral("原因")};
    QTableWidget* table = ui->tableWidget_History;
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(entries.size());
    for (int r = 0; r < entries.size(); ++r) {
        const AuditEntry& e = entries[r];
        const QStringList cells = {e.at.toLocalTime().toString("yyyy-MM-dd HH:mm:ss"), e.user, e.machine, e.action,
                                   e.objectName, e.oldValue, e.newValue, e.reason};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            table->setItem(r, c, item);
        }
    }
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(6, QHeaderView::Stretch);
    // An experiment's own history need not repeat its name in every row.
    table->setColumnHidden(4, !experiment.isEmpty());
    table->scrollToBottom();
    connect(ui->pushButton_Close, &QPushButton::clicked, this, &QDialog::accept);
}

HistoryDialog::~HistoryDialog()
{
    delete ui;
}
