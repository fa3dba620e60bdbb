#include "CLoadLogGroup.h"

#include <exception>
#include <utility>

#include "hostapi/LoadLog.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"

namespace korotka {

CLoadLogGroup::CLoadLogGroup(std::shared_ptr<orvex::LoadLog> log, const QString& caption)
    : m_log(std::move(log)) {
    if (m_log) m_log->OpenGroup(MLanguage::kPlugInId, caption);
}

CLoadLogGroup::~CLoadLogGroup() {
    if (!m_log) return;
    try {
        m_log->CloseGroup();
    } catch (const std::exception& error) {
        // Nothing may leave a destructor; the log merely shows the next record inside this group.
        qCWarning(lcPlugIn, "a load log group could not be closed: %s", error.what());
    }
}

}  // namespace korotka
