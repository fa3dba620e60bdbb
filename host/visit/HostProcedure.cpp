#include "HostProcedure.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <utility>

#include "host/platform/HostInstallation.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ITestElement.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.Procedure");
const QString kRoot = QStringLiteral("OrvexProcedure");
const QString kStep = QStringLiteral("Step");
const QString kTestElement = QStringLiteral("TestElement");
const QString kResult = QStringLiteral("ResultItem");
const QString kDescription = QStringLiteral("Description");
const QString kName = QStringLiteral("Name");
const QString kVersion = QStringLiteral("Version");
const QString kEquipment = QStringLiteral("Equipment");
const QString kRepeat = QStringLiteral("Repeat");
const QString kInterval = QStringLiteral("Interval");

[[noreturn]] void RaiseBad(const QString& path, const QString& reason) {
    throw ComError(HostProcedure::kErrBadProcedure, kSource, QStringLiteral("%1: %2").arg(path, reason));
}

QString Bounded(const QString& path, const QString& text, int most, const QString& what) {
    if (text.size() > most)
        RaiseBad(path, QStringLiteral("the %1 is longer than %2 characters").arg(what).arg(most));
    return text;
}

std::shared_ptr<XmlElement> ReadRoot(const QString& path, std::shared_ptr<XmlDocument>& document) {
    document = HostServices::Xml()->CreateDocument();
    try {
        document->Load(path);
    } catch (const ComError& e) {
        throw ComError(HostProcedure::kErrBadProcedure, kSource, e.Description());
    }
    auto root = document->DocumentElement();
    if (!root || root->TagName() != kRoot)
        RaiseBad(path, QStringLiteral("not a procedure (no %1)").arg(kRoot));
    return root;
}

HostProcedure::Heading HeadingOf(const QString& path, const XmlElement& root) {
    constexpr int kField = HostSequence::kMaxFieldLength;
    const auto description = root.FindChild(kDescription);
    HostProcedure::Heading heading{
        Bounded(path, root.GetAttribute(kName).trimmed(), kField, QStringLiteral("name")),
        Bounded(path, root.GetAttribute(kVersion).trimmed(), kField, QStringLiteral("version")),
        Bounded(path, root.GetAttribute(kEquipment).trimmed(), kField, QStringLiteral("equipment")),
        Bounded(path, description ? description->Text().trimmed() : QString(), HostProcedure::kMaxDescription,
                QStringLiteral("description"))};
    if (heading.name.isEmpty()) RaiseBad(path, QStringLiteral("the procedure has no name"));
    try {
        heading.interval = HostSequence::ReadInterval(root.GetAttribute(kInterval), kInterval);
    } catch (const ComError& e) {
        RaiseBad(path, e.Description());
    }
    return heading;
}

// How often a step is performed: once when it does not say.
int RepeatOf(const QString& path, const XmlElement& step, int position) {
    const QString text = step.GetAttribute(kRepeat);
    if (text.isEmpty()) return 1;
    bool ok = false;
    const int repeat = text.toInt(&ok);
    if (!ok || repeat < 1 || repeat > HostProcedure::kMaxRepeat) {
        RaiseBad(path, QStringLiteral("step %1: Repeat \"%2\" is no count from 1 to %3")
                           .arg(position)
                           .arg(text.left(20))
                           .arg(HostProcedure::kMaxRepeat));
    }
    return repeat;
}

// The test's element as the procedure keeps it: no result, so nothing of an earlier visit goes
// into the next.
std::shared_ptr<XmlElement> SaveWithoutResult(ITestElement& test, XmlDocument& document,
                                              const std::shared_ptr<XmlElement>& parent) {
    auto element = test.Save(parent, 0);
    // A created element lies outside the document until it is placed: the result is moved there.
    if (const auto result = element ? element->FindChild(kResult) : nullptr)
        document.CreateElement(kResult)->AppendChild(result);
    return element;
}

// The test's element alone, numbered alike, to tell tests that are the same apart from their place.
QString Likeness(ITestElement& test) {
    const auto document = HostServices::Xml()->CreateDocument();
    document->LoadText(QStringLiteral("<%1/>").arg(kStep));
    const auto element = SaveWithoutResult(test, *document, document->DocumentElement());
    if (element) element->SetAttribute(QStringLiteral("ID"), QStringLiteral("1"));
    return document->ToText();
}

}  // namespace

HostSequence HostProcedure::MakeVisit(const QString& path, const std::shared_ptr<IPlugIn>& plugIn) {
    std::shared_ptr<XmlDocument> document;
    const auto root = ReadRoot(path, document);
    const Heading heading = HeadingOf(path, *root);
    HostSequence visit(plugIn);
    QList<HostSpread::Limit> spreadLimits;
    int steps = 0;
    for (int32_t i = 0; i < root->ChildCount(); ++i) {
        const auto step = root->Child(i);
        if (step->TagName() == kDescription) continue;
        if (step->TagName() == HostSpread::kTag) {
            try {
                spreadLimits = HostSpread::Read(*step);
            } catch (const ComError& e) {
                RaiseBad(path, e.Description());
            }
            continue;
        }
        ++steps;
        if (step->TagName() != kStep)
            RaiseBad(path, QStringLiteral("\"%1\" is no %2").arg(step->TagName().left(40), kStep));
        const int repeat = RepeatOf(path, *step, steps);
        const auto test = step->FindChild(kTestElement);
        if (!test || step->ChildCount() != 1)
            RaiseBad(path, QStringLiteral("step %1 holds no single %2").arg(steps).arg(kTestElement));
        if (test->FindChild(kResult) || !test->GetAttribute(QStringLiteral("Performed")).isEmpty())
            RaiseBad(path,
                     QStringLiteral("step %1 holds a result: a procedure is performed, not kept").arg(steps));
        if (test->GetAttribute(QStringLiteral("PlugIn")) != plugIn->ID()) {
            RaiseBad(path, QStringLiteral("step %1 belongs to plug-in \"%2\", not \"%3\"")
                               .arg(steps)
                               .arg(test->GetAttribute(QStringLiteral("PlugIn")).left(40), plugIn->ID()));
        }
        for (int r = 0; r < repeat; ++r) {
            try {
                visit.Insert(visit.Tests().size(), test);
            } catch (const ComError& e) {
                RaiseBad(path, QStringLiteral("step %1: %2").arg(steps).arg(e.Description()));
            }
        }
    }
    if (visit.Tests().isEmpty()) RaiseBad(path, QStringLiteral("the procedure has no steps"));
    visit.SetMadeFrom({heading.name, heading.version, spreadLimits, heading.interval});
    return visit;
}

HostProcedure::Heading HostProcedure::ReadHeading(const QString& path) {
    std::shared_ptr<XmlDocument> document;
    return HeadingOf(path, *ReadRoot(path, document));
}

void HostProcedure::Write(const HostSequence& sequence, const Heading& heading, const QString& path) {
    const auto document = HostServices::Xml()->CreateDocument();
    document->LoadText(QStringLiteral("<%1/>").arg(kRoot));
    const auto root = document->DocumentElement();
    root->SetAttribute(
        kName, Bounded(path, heading.name.trimmed(), HostSequence::kMaxFieldLength, QStringLiteral("name")));
    root->SetAttribute(kVersion, heading.version.trimmed());
    root->SetAttribute(kEquipment, heading.equipment.trimmed());
    // A procedure saved from a visit is done as often as the one the visit was made from.
    if (sequence.MadeFrom().interval > 0)
        root->SetAttribute(kInterval, QString::number(sequence.MadeFrom().interval));
    if (heading.name.trimmed().isEmpty()) RaiseBad(path, QStringLiteral("the procedure has no name"));
    if (!heading.description.trimmed().isEmpty()) {
        const auto description = document->CreateElement(kDescription);
        description->SetText(
            Bounded(path, heading.description.trimmed(), kMaxDescription, QStringLiteral("description")));
        root->AppendChild(description);
    }
    HostSpread::Write(*document, *root, sequence.MadeFrom().spreadLimits);
    const auto& tests = sequence.Tests();
    for (qsizetype i = 0; i < tests.size();) {
        const QString likeness = Likeness(*tests[i]);
        qsizetype same = 1;
        while (i + same < tests.size() && same < kMaxRepeat && Likeness(*tests[i + same]) == likeness) ++same;
        const auto step = document->CreateElement(kStep);
        if (same > 1) step->SetAttribute(kRepeat, QString::number(same));
        root->AppendChild(step);
        SaveWithoutResult(*tests[i], *document, step);
        i += same;
    }
    document->Save(path);
}

QString HostProcedure::UserFolder() {
    return HostInstallation::UserFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) +
           QStringLiteral("/Orvex/procedures");
}

QList<HostProcedure::Listed> HostProcedure::Found() {
    QList<Listed> found;
    QSet<QString> names;
    for (const QString& folder : {UserFolder(), HostInstallation::ProceduresFolder()}) {
        const auto files =
            QDir(folder).entryInfoList({QStringLiteral("*.xml")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : files) {
            const QString name = file.completeBaseName().toLower();
            if (names.contains(name)) continue;
            names.insert(name);
            Listed listed;
            listed.file = file.absoluteFilePath();
            try {
                listed.heading = ReadHeading(listed.file);
            } catch (const ComError& e) {
                listed.problem = e.Description();
            }
            found.append(listed);
        }
    }
    return found;
}

QString HostProcedure::Locate(const QString& nameOrPath) {
    if (QFileInfo(nameOrPath).isFile()) return nameOrPath;
    for (const Listed& listed : Found()) {
        if (QFileInfo(listed.file).completeBaseName().compare(nameOrPath, Qt::CaseInsensitive) == 0 ||
            listed.heading.name.compare(nameOrPath, Qt::CaseInsensitive) == 0) {
            return listed.file;
        }
    }
    throw ComError(
        kErrBadProcedure, kSource,
        QStringLiteral("no procedure \"%1\" (orvex procedures lists them)").arg(nameOrPath.left(80)));
}

}  // namespace orvex
