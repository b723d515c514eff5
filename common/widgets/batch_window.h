// The batch window both tools show while one operation runs on many devices:
// a row per device with its progress and outcome, a summary, cancel, and the
// results copied or saved as CSV.
#pragma once

#include "common/batch_runner.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kyvo {

struct BatchRowLabels
{
    QString address, mac, model;
};

// One row per device: address, MAC, model, operation, progress bar, outcome text; a summary
// line; "Cancel"; "copy results" and "save as CSV". It follows the runner: the owner calls
// rowChanged(row) whenever the runner reports a change of that row (BatchRunner::setOnChanged).
class BatchWindow : public QDialog
{
    Q_OBJECT
public:
    enum Column { AddressColumn, MacColumn, ModelColumn, OperationColumn, ProgressColumn, OutcomeColumn };
    // Asks for the CSV file's name (the file dialog unless a test sets another).
    using SaveFileNameFn =
        std::function<QString(QWidget *parent, const QString &name, const QString &filter)>;

    BatchWindow(BatchRunner &runner, const QString &operation, QList<BatchRowLabels> rows, bool english,
                QWidget *parent = nullptr);

    void setSaveFileName(SaveFileNameFn fn) { m_saveFileName = std::move(fn); }
    // The results as shown: a header line and one line per device.
    QString resultsText() const;   // tab-separated
    QByteArray resultsCsv() const; // CSV (UTF-8, CRLF), fields guarded against formulas
    bool saveCsv(const QString &path) const;
    QString stateText(BatchRunner::State state) const;

public Q_SLOTS:
    void rowChanged(int row);

Q_SIGNALS:
    void cancelRequested(); // emitted after runner.cancel() when the user cancels

protected:
    void reject() override;

private:
    QString tr2(const char *chinese, const char *english) const;
    void buildTable();
    void fillRow(int row);
    void updateSummary();
    void onCancelOrClose();
    void copyResults();
    void saveResults();
    QList<QStringList> resultLines() const;

    BatchRunner &m_runner;
    QString m_operation;
    QList<BatchRowLabels> m_rows;
    bool m_english;
    bool m_cancelRequested = false;
    SaveFileNameFn m_saveFileName;
    QTableWidget *m_table = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_save = nullptr;
};

} // namespace kyvo
