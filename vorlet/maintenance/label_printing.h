// The label controls of the main window: the print agent probe and the model
// list at start-up, "打印", "打印无logo" (label, logo and history line) and
// "添加到云" (cloud enrolment of the selected gateway).
#pragma once

#include "vorlet/maintenance/label_transport.h"
#include "vorlet/ui/main_window.h"

#include <QDateTime>
#include <QPointer>

namespace vorlet {

struct LabelOptions
{
    // Where model.txt, logo.txt, the templates, logo.pcx and history.txt are;
    // the current directory when empty.
    QString folder;
    quint16 agentPort = labels::kAgentPort;
    kyvo::Millis probeWait{500};
    labels::EnrolTimeouts enrolTimeouts;
    const kyvo::Clock *clock = nullptr;   // the enrolment's; a steady clock when null
    std::function<QDateTime()> localTime; // the history line's; the current time when empty
    // A message; empty: a message box that opens without a nested loop.
    std::function<void(QWidget *parent, const QString &text)> message;
};

class LabelPrinting : public QObject
{
    Q_OBJECT
public:
    LabelPrinting(CvorletDlg &window, LabelOptions options);

    void print(bool withLogo);
    void enrol();
    const std::vector<std::string> &models() const { return m_models; }
    labels::PrintAgent &agent() { return *m_agent; }

    static inline const char *const kHistoryFile = "history.txt";

private:
    void agentAnswered();
    QString path(const char *name) const;
    std::optional<labels::Bytes> convertLogo();
    bool appendHistory(const labels::LabelValues &values);
    labels::LabelValues labelValues(const ParameterRecord &record, int row) const;
    void enrolled(labels::EnrolResult result);
    void setStatus(const char *chinese);
    QString text(const char *chinese, const char *english) const;
    void message(const QString &text);

    CvorletDlg &m_window;
    LabelOptions m_options;
    labels::PrintAgent *m_agent;
    QPointer<labels::CloudEnroller> m_enroller;
    std::vector<std::string> m_models;
};

// Probes the agent as the window starts and wires the label controls.
void addLabelPrinting(CvorletDlg::Options &options, LabelOptions labels = {});

} // namespace vorlet
