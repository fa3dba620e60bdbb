#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace orvex {
class HostEnvironment;
class IPlugIn;
}  // namespace orvex

// What a benchmark of the host needs: the application (offscreen unless a platform is named), a
// registry file of its own, the host environment, and the plug-in loaded as orvex loads it.
class BenchHost {
public:
    BenchHost(int& argc, char** argv);
    ~BenchHost();

    orvex::HostEnvironment& Environment() { return *m_environment; }
    // A file in the program's own temporary folder.
    QString Path(const QString& name) const { return m_folder.filePath(name); }
    // Loads the library beside the program's folder with its English texts; then the plug-in
    // object, initialised (its templates read).
    std::shared_ptr<orvex::IPlugIn> LoadPlugIn();

private:
    static int& Offscreen(int& argc);

    QApplication m_application;
    QTemporaryDir m_folder;
    std::unique_ptr<orvex::HostEnvironment> m_environment;
};
