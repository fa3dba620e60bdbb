#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>

#include "host/platform/HostPlugInLoader.h"
#include "hostapi/ComponentRegistry.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using orvex::HostPlugInLoader;

using PlugInLoaderTest = HostFixture;

TEST_F(PlugInLoaderTest, FailuresAreClearErrorsAndASuccessRecordsTheFolder) {
    const QString hostLibrary = QStringLiteral(ORVEX_HOST_LIBRARY);
    const QString libraryFolder = QFileInfo(hostLibrary).canonicalPath();
    EXPECT_EQ(HostPlugInLoader::RegisterFunctionName("/opt/orvex/liborvexKorotka.so"),
              "orvexKorotka_RegisterClasses");
    // Before a load, a plug-in's folder is the program's.
    EXPECT_EQ(application->PlugInFolder("Korotka"), QCoreApplication::applicationDirPath());

    auto e = Raised([&] { environment->Loader().Load("Korotka", libraryFolder + "/libnothing.so"); });
    EXPECT_EQ(e.Number(), HostPlugInLoader::kErrLibraryNotLoaded);
    EXPECT_TRUE(e.Description().contains("libnothing.so")) << e.Description().toStdString();

    // A library that is there but registers nothing under that name.
    e = Raised([&] { environment->Loader().Load("Korotka", QStringLiteral(ORVEX_HOSTAPI_LIBRARY)); });
    EXPECT_EQ(e.Number(), HostPlugInLoader::kErrEntryPointNotFound);
    EXPECT_TRUE(e.Description().contains("orvexhostapi_RegisterClasses")) << e.Description().toStdString();
    EXPECT_NE(application->PlugInFolder("Korotka"), libraryFolder);

    // The host library registers its own classes the way a plug-in does.
    environment->Loader().Load("Host", hostLibrary);
    EXPECT_TRUE(orvex::ComponentRegistry::Instance().IsRegistered("OrvexTypeLib.TestElementList"));
    EXPECT_EQ(application->PlugInFolder("Host"), libraryFolder);
    EXPECT_EQ(application->JoinPath(application->PlugInFolder("Host"), "Language/../orvexKorotka.mpc"),
              libraryFolder + "/orvexKorotka.mpc");
}
