#include "HostVisitDocument.h"

#include <utility>

#include "host/visit/HostProcedure.h"

namespace orvex {

HostVisitDocument::HostVisitDocument(std::shared_ptr<IPlugIn> plugIn)
    : m_plugIn(plugIn), m_sequence(std::move(plugIn)) {}

void HostVisitDocument::New() {
    m_sequence = HostSequence(m_plugIn);
    m_saver = HostVisitSaver();
    m_file.clear();
    m_modified = false;
}

void HostVisitDocument::NewFrom(const QString& procedureFile) {
    HostSequence made = HostProcedure::MakeVisit(procedureFile, m_plugIn);
    New();
    m_sequence = std::move(made);
}

void HostVisitDocument::Open(const QString& path) {
    m_sequence.Load(path);
    m_file = path;
    m_saver = HostVisitSaver(path);
    m_modified = false;
}

void HostVisitDocument::SaveAs(const QString& path) {
    m_sequence.Save(path);
    m_file = path;
    m_saver.Discard();
    m_saver = HostVisitSaver(path);
    m_modified = false;
}

void HostVisitDocument::Recover(const QString& recoveryFile) {
    m_sequence.Load(recoveryFile);
    m_file.clear();
    m_saver = HostVisitSaver();
    m_saver.Adopt(recoveryFile);
    m_modified = true;
}

void HostVisitDocument::TakeLeftover(HostSequence sequence, const QString& leftover) {
    m_sequence = std::move(sequence);
    m_saver.AdoptLeftover(leftover);
    m_modified = true;
}

}  // namespace orvex
