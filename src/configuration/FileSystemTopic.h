#pragma once

#include "configuration/MonitorItemTopic.h"

// The file-system page: the volume item's switch and cells.
class FileSystemTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "FileSystemTopic";

    FileSystemTopic();
    QString className() const override { return QLatin1String(ClassName); }
};
