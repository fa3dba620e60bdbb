#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The orvex program as a technician's shell runs it, against the built-in simulator.
class OrvexRunTest : public ::testing::Test {
protected:
    struct Outcome {
        int status;
        QString out;
        QString err;
    };

    // The environment orvex runs in: off-screen, with settings and a state folder of the test's own.
    QProcessEnvironment Environment() const {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("ORVEX_REGISTRY", dir.filePath("Registry.ini"));
        environment.insert("XDG_STATE_HOME", dir.filePath("state"));
        environment.insert("ORVEX_DATABASE", dir.filePath("results.sqlite"));
        // Under the sanitizers, a few exits leave a thread's data that Qt allocates itself; the
        // leaks of the program are the in-process tests' to find, not its exit status.
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
        return environment;
    }

    Outcome Orvex(const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(Environment());
        process.start(QStringLiteral(ORVEX_EXECUTABLE), arguments);
        EXPECT_TRUE(process.waitForFinished(120000)) << arguments.join(' ').toStdString();
        Outcome outcome{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                        QString::fromLocal8Bit(process.readAllStandardOutput()),
                        QString::fromLocal8Bit(process.readAllStandardError())};
        return outcome;
    }

    QString Script(const QByteArray& text) {
        QFile file(dir.filePath("script.txt"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        return file.fileName();
    }

    // KEY=VALUE fields of a line of `orvex show`, the value's number read.
    static double Number(const QStringList& fields, const QString& key) {
        for (const QString& field : fields) {
            if (field.startsWith(key + "="))
                return field.mid(key.size() + 1).section(' ', 0, 0).replace(',', '.').toDouble();
        }
        ADD_FAILURE() << "no " << key.toStdString() << " in " << fields.join('|').toStdString();
        return 0;
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("sequence.xml");
    const QStringList simulate{"--simulate", "--time-scale", "0.05"};
};
