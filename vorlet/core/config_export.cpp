// .cfg export.
#include "vorlet/core/config_export.h"

#include "common/whole_file.h"

namespace vorlet {

ConfigFileStatus exportConfig(const ParameterRecord &record, const QString &path)
{
    const auto bytes = recordBytes(record);
    return kyvo::writeWholeFile(path, QByteArrayView(bytes.data(), qsizetype(bytes.size())))
               ? ConfigFileStatus::Done
               : ConfigFileStatus::CannotWrite;
}

} // namespace vorlet
