// Many devices in one command, shared by both command-line tools: the
// selection options, the choice of devices among those that answered, and a
// batch run that prints each device's outcome as it finishes.
#pragma once

#include "cli/cli_common.h"
#include "common/batch_runner.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace cli {

struct BatchCandidate
{
    QString address, mac, model, version;
};

struct BatchSelection
{
    QStringList macs;       // --mac, repeatable, in the order given (normalised "00-4B-...")
    bool all = false;       // --all
    QString model, version; // --model / --version: wildcard patterns (* and ?), case-insensitive
    QString subnet;         // --subnet A.B.C.D/N
    int parallel = 8;       // --parallel N (1 .. 256)
    bool json = false;      // --json
    bool many() const;      // more than one --mac, or --all
};

// The options' names for Arguments::parse: value options and flags to add to a CLI's lists.
QStringList batchValueOptions(); // mac model version subnet parallel
QStringList batchFlagOptions();  // all

// Whether the options name more than one device or any other selection
// option: the selection is read (and checked) then.
bool wantsBatch(const Arguments &args);

// Reads and checks the selection options; a usage reason (without the
// program's name) when one is bad, before anything is bound or sent. A MAC
// given twice is taken once: one device never runs two operations at a time.
std::optional<QString> readBatchSelection(const Arguments &args, BatchSelection &into);

// Which candidates the selection names: with --mac, those MACs (missing ones listed); with --all,
// every candidate matching model/version/subnet.
struct BatchChoice
{
    std::vector<std::size_t> indexes;
    QStringList missingMacs;
};
BatchChoice chooseDevices(const BatchSelection &s, const std::vector<BatchCandidate> &candidates);

// Runs a batch on the event loop until it has finished: start(row) begins row's single-device
// operation, which reports through runner.progress()/finish(). Prints one line (or, with json, one
// JSON object {"address","mac","model","operation","ok","text"}) per device as it finishes, then a
// summary line "N devices: X succeeded, Y failed" (on stderr when any failed). Returns kOk when
// every device succeeded, else kFailed.
int runBatch(const std::vector<BatchCandidate> &rows, const QString &operation, const BatchSelection &s,
             const std::function<void(std::size_t row, kyvo::BatchRunner &)> &start);

// As above, with leftOut devices the selection named that were not run (did
// not answer, or not whole): each counts as failed in the summary.
int runBatch(const std::vector<BatchCandidate> &rows, const QString &operation, const BatchSelection &s,
             const std::function<void(std::size_t row, kyvo::BatchRunner &)> &start, std::size_t leftOut);

// The line (or JSON object) runBatch prints for a finished row.
QString batchRowLine(const BatchCandidate &row, const QString &operation,
                     const kyvo::BatchRunner::Row &outcome, bool json);

} // namespace cli
