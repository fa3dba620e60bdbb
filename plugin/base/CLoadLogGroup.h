#pragma once

#include <QString>
#include <memory>

#include "plugin/base/PlugInExport.h"

namespace orvex {
class LoadLog;
}

namespace korotka {

// Holds a group of the host's load log open for one record's load, so that every way out of the
// load (a value read, an error raised) closes it. No log, no group.
class KOROTKA_PLUGIN_EXPORT CLoadLogGroup {
public:
    CLoadLogGroup(std::shared_ptr<orvex::LoadLog> log, const QString& caption);
    ~CLoadLogGroup();
    CLoadLogGroup(const CLoadLogGroup&) = delete;
    CLoadLogGroup& operator=(const CLoadLogGroup&) = delete;

private:
    std::shared_ptr<orvex::LoadLog> m_log;
};

}  // namespace korotka
