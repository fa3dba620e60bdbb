#pragma once

#include <QByteArray>
#include <QFile>
#include <memory>
#include <vector>

#include "HostFixture.h"
#include "host/session/HostKorotka.h"
#include "host/visit/HostSequence.h"
#include "hostapi/IPlugIn.h"

// The real plug-in, loaded the way orvex loads it, over a fresh host environment.
class PlugInFixture : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        environment->Loader().Load(orvex::HostKorotka::kName, QStringLiteral(KOROTKA_PLUGIN_LIBRARY));
        plugIn = orvex::ComponentRegistry::Instance().CreateAs<orvex::IPlugIn>("orvexKorotka.CPlugInKorotka");
        plugIn->Initialize(nullptr);
    }

    QString Path(const QString& name) const { return registryDir.filePath(name); }

    // Static pressure tests whose stored results (one reading each) have these statuses (0: no
    // result), as a file gives them.
    // Tests of the statuses given, each with a STAT reading that a limit judges unless unjudged.
    orvex::HostSequence WithStatuses(const std::vector<int>& statuses, bool judged = true) {
        orvex::HostSequence sequence(plugIn);
        for (size_t i = 0; i < statuses.size(); ++i) sequence.Append(300);
        QByteArray text = sequence.ToText().toUtf8();
        qsizetype at = 0;
        for (const int status : statuses) {
            at = text.indexOf("</TestElement>", at);
            if (status != 0) {
                const QByteArray word = QByteArray::number(status);
                const QByteArray limits = judged ? "<ExpectedResult><Standard AlphaName='S' CompleteName='S' "
                                                   "Number='1'><Limit Key='STAT' Unit='mmHg' Type='0'><High "
                                                   "Enabled='True'>300</High><Low Enabled='False'>0</Low>"
                                                   "</Limit></Standard></ExpectedResult>"
                                                 : "";
                const QByteArray result =
                    limits + "<ResultItem><Status Value='" + word +
                    "'/><Measurement Key='STAT'><Description>20370::Pressure</Description>"
                    "<Value Type='1' Format='0'>251</Value><Unit>mmHg</Unit><Status Value='" +
                    word + "'/></Measurement></ResultItem>";
                text.insert(at, result);
                at += result.size();
            }
            at += 1;
        }
        QFile file(Path(QStringLiteral("statuses.xml")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        orvex::HostSequence loaded(plugIn);
        loaded.Load(file.fileName());
        return loaded;
    }

    std::shared_ptr<orvex::IPlugIn> plugIn;
};
