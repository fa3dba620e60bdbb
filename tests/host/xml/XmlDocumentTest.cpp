#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "host/xml/HostXmlDocument.h"
#include "host/xml/HostXmlDocumentFactory.h"
#include "hostapi/ComError.h"
#include "hostapi/XmlElement.h"
#include "support/Raised.h"

using orvex::ComError;
using orvex::HostXmlDocument;
using orvex::XmlDocument;
using orvex::XmlElement;

namespace {

std::shared_ptr<XmlDocument> NewDocument() { return orvex::HostXmlDocumentFactory().CreateDocument(); }

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

}  // namespace

TEST(XmlDocumentTest, BuildSaveAndLoadRoundTrip) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sequence.xml");
    {
        const auto document = NewDocument();
        const auto root = document->CreateElement("Sequence");
        document->SetDocumentElement(root);
        root->SetAttribute("Name", "Kalibrierung <ä> & \"Ü\"");
        for (const char* id : {"100", "200", "300"}) {
            const auto test = document->CreateElement("TestElement");
            test->SetAttribute("ID", id);
            root->AppendChild(test);
        }
        const auto note = document->CreateElement("Note");
        note->SetText("line 1\nline <2>");
        root->Child(1)->AppendChild(note);
        document->Save(path);
    }
    EXPECT_FALSE(QFile::exists(path + ".tmp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Sequence"));
    EXPECT_TRUE(written.contains("\n  <TestElement ID=\"100\""));
    EXPECT_TRUE(written.contains("Kalibrierung &lt;\xc3\xa4> &amp; &quot;\xc3\x9c&quot;"));

    const auto loaded = NewDocument();
    loaded->Load(path);
    const auto root = loaded->DocumentElement();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->TagName(), "Sequence");
    EXPECT_EQ(root->GetAttribute("Name"), "Kalibrierung <ä> & \"Ü\"");
    EXPECT_EQ(root->GetAttribute("Missing"), "");
    ASSERT_EQ(root->ChildCount(), 3);
    EXPECT_TRUE(root->HasChildren());
    EXPECT_EQ(root->Child(2)->GetAttribute("ID"), "300");
    EXPECT_EQ(root->FindChild("TestElement")->GetAttribute("ID"), "100");
    EXPECT_EQ(root->FindChild("Nothing"), nullptr);
    EXPECT_EQ(root->Child(1)->FindChild("Note")->Text(), "line 1\nline <2>");
    EXPECT_FALSE(root->Child(0)->HasChildren());
    EXPECT_EQ(root->Document(), loaded);
}

TEST(XmlDocumentTest, ElementsStayValidWhateverHappensToTheirPlace) {
    auto document = NewDocument();
    document->LoadText("<a><b/><c/></a>");
    const auto oldRoot = document->DocumentElement();
    const auto b = oldRoot->Child(0);
    EXPECT_EQ(oldRoot->ChildCount(), 2);

    // Moving changes the children lists of both parents at once.
    oldRoot->Child(1)->AppendChild(b);
    EXPECT_EQ(oldRoot->ChildCount(), 1);
    EXPECT_EQ(oldRoot->Child(0)->ChildCount(), 1);

    // A replaced document element is parked, still usable, and not written.
    const auto newRoot = document->CreateElement("z");
    document->SetDocumentElement(newRoot);
    EXPECT_EQ(oldRoot->TagName(), "a");
    EXPECT_EQ(document->ToText(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<z />\n");
    newRoot->AppendChild(oldRoot);
    EXPECT_EQ(document->DocumentElement()->Child(0)->TagName(), "a");

    // An element keeps its document alive, and survives a reload of it.
    document->LoadText("<fresh/>");
    EXPECT_EQ(b->TagName(), "b");
    EXPECT_EQ(Raised([&] { document->DocumentElement()->AppendChild(b); }).Number(),
              ComError::kInvalidProcedureCall);
    const auto orphan = document->DocumentElement();
    document.reset();
    EXPECT_EQ(orphan->Document()->DocumentElement()->TagName(), "fresh");
}

TEST(XmlDocumentTest, BadInputRaisesAndLeavesTheDocumentAsItWas) {
    QTemporaryDir dir;
    const auto document = NewDocument();
    document->LoadText("<kept/>");

    auto e = Raised([&] { document->Load(dir.filePath("missing.xml")); });
    EXPECT_EQ(e.Number(), HostXmlDocument::kErrFileNotFound);
    EXPECT_TRUE(e.Description().contains("missing.xml"));

    const QString malformed = dir.filePath("malformed.xml");
    WriteFile(malformed, "<a>\n  <b></a>");
    e = Raised([&] { document->Load(malformed); });
    EXPECT_EQ(e.Number(), HostXmlDocument::kErrBadDocument);
    EXPECT_TRUE(e.Description().contains("malformed.xml")) << e.Description().toStdString();
    EXPECT_TRUE(e.Description().contains("offset")) << e.Description().toStdString();

    const QString huge = dir.filePath("huge.xml");
    WriteFile(huge, "<a>" + QByteArray(HostXmlDocument::kMaxDocumentSize, 'x') + "</a>");
    EXPECT_EQ(Raised([&] { document->Load(huge); }).Number(), HostXmlDocument::kErrBadDocument);
    EXPECT_EQ(Raised([&] { document->LoadText(""); }).Number(), HostXmlDocument::kErrBadDocument);
    EXPECT_EQ(Raised([&] { document->Load(dir.path()); }).Number(), HostXmlDocument::kErrFileAccess);
    EXPECT_EQ(document->DocumentElement()->TagName(), "kept");

    // A save that cannot be done leaves nothing behind.
    EXPECT_EQ(Raised([&] { document->Save(dir.filePath("no/such/folder.xml")); }).Number(),
              HostXmlDocument::kErrFileAccess);
}

TEST(XmlDocumentTest, MisuseOfElementsRaisesTheRuntimesErrors) {
    const auto document = NewDocument();
    document->LoadText("<a><b/></a>");
    const auto root = document->DocumentElement();
    EXPECT_EQ(Raised([&] { root->Child(1); }).Number(), ComError::kSubscriptOutOfRange);
    EXPECT_EQ(Raised([&] { root->Child(-1); }).Number(), ComError::kSubscriptOutOfRange);

    const auto other = NewDocument();
    EXPECT_EQ(Raised([&] { root->AppendChild(other->CreateElement("x")); }).Number(),
              ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { other->SetDocumentElement(root); }).Number(), ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { root->Child(0)->AppendChild(root); }).Number(), ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { root->AppendChild(root); }).Number(), ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { document->CreateElement("1st"); }).Number(), ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { root->SetAttribute("a b", "x"); }).Number(), ComError::kInvalidProcedureCall);
    EXPECT_EQ(document->ToText(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n  <b />\n</a>\n");
}

TEST(XmlDocumentTest, ReadDocumentsAreBoundedInDepthAndElements) {
    const auto nested = [](int depth) {
        return QString("<a>").repeated(depth) + QString("</a>").repeated(depth);
    };
    const auto document = NewDocument();
    document->LoadText(nested(HostXmlDocument::kMaxDepth));
    const auto refused = Raised([&] { document->LoadText(nested(HostXmlDocument::kMaxDepth + 1)); });
    EXPECT_EQ(refused.Number(), HostXmlDocument::kErrBadDocument);
    EXPECT_TRUE(refused.Description().contains("nested deeper")) << refused.Description().toStdString();
    const QString flat = "<a>" + QString("<b/>").repeated(HostXmlDocument::kMaxElements) + "</a>";
    const auto tooMany = Raised([&] { document->LoadText(flat); });
    EXPECT_TRUE(tooMany.Description().contains("more than")) << tooMany.Description().toStdString();
    EXPECT_EQ(document->DocumentElement()->TagName(), "a");
    EXPECT_TRUE(document->DocumentElement()->HasChildren());
}

TEST(XmlDocumentTest, DeeplyNestedDocumentsAreWrittenWithoutRecursion) {
    // Only a program builds a tree this deep; reading one is refused above.
    constexpr int kDepth = 5000;
    const auto document = NewDocument();
    auto element = document->CreateElement("a");
    document->SetDocumentElement(element);
    for (int i = 1; i < kDepth; ++i) {
        auto child = document->CreateElement("a");
        element->AppendChild(child);
        element = child;
    }
    // Written, but not indented: the indentation alone would be fifty megabytes.
    const QString written = document->ToText();
    EXPECT_GT(written.size(), 6 * kDepth);
    EXPECT_LT(written.size(), 8 * kDepth);
}
