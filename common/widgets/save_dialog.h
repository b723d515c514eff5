// Save dialogs whose name, typed without a suffix, takes the suffix of the
// filter chosen, so that what is written matches what the user picked.
#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace kyvo {

// "文件 (*.ini)" -> "ini": the first pattern's suffix (empty for "*.*").
QString filterSuffix(const QString &filter);
// The default suffix of a save dialog follows its filter: filter's first one
// now, then the one of each filter the user selects.
void followFilterSuffix(QFileDialog &dialog, const QString &filter);
// A modal save dialog proposing name: the chosen file, empty when cancelled.
QString saveFileName(QWidget *parent, const QString &name, const QString &filter);

} // namespace kyvo
