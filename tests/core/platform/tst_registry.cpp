#include "core/platform/registry.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsValues_data();
    void readsValues();
    void escapesRoundTrip();
    void missingFileIsEmpty();
};

static const char* kUserReg =
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to \\\\User\\\\S-1-5-21-1-2-3-1000\n"
        "\n"
        "#arch=win32\n"
        "\n"
        "[Software\\\\Kesso Soft\\\\Ulvaro] 1700000000\n"
        "#time=1d9f0c0a0b0c0d0\n"
        "\"DataFile\"=\"\\\"C:\\\\aq\\\\tetra.uld\\\"\"\n"
        "\"bgmfile\"=\"C:\\\\m\\\\\\x97f3\\x697d.lst\"\n"
        "\"Count\"=dword:00000001\n"
        "\"Expand\"=str(2):\"%WINDIR%\\\\media\"\n"
        "\"Binary\"=hex:01,02\n"
        "\"Tabbed\"=\"a\\tb\"\n"
        "\n"
        "[Software\\\\Kesso Soft] 1700000000\n"
        "\"DataFile\"=\"wrong key\"\n"
        "\n"
        "[Software\\\\Kesso Soft\\\\Ulvaro\\\\Sub] 1700000000\n"
        "\"DataFile\"=\"sub key\"\n";

void TestRegistry::readsValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");
    const QString key = u"Software\\Kesso Soft\\Ulvaro"_qs;
    QTest::newRow("quotes kept") << key << u"DataFile"_qs << true << u"\"C:\\aq\\tetra.uld\""_qs;
    QTest::newRow("name in any case") << key << u"DATAFILE"_qs << true
                                      << u"\"C:\\aq\\tetra.uld\""_qs;
    QTest::newRow("key in any case") << u"software\\KESSO SOFT\\ulvaro"_qs << u"DataFile"_qs
                                     << true << u"\"C:\\aq\\tetra.uld\""_qs;
    QTest::newRow("\\x escapes") << key << u"BGMFile"_qs << true << u"C:\\m\\音楽.lst"_qs;
    QTest::newRow("expandable string") << key << u"Expand"_qs << true << u"%WINDIR%\\media"_qs;
    QTest::newRow("C escapes") << key << u"Tabbed"_qs << true << u"a\tb"_qs;
    QTest::newRow("dword is no string") << key << u"Count"_qs << false << QString();
    QTest::newRow("hex is no string") << key << u"Binary"_qs << false << QString();
    QTest::newRow("missing value") << key << u"KessosUlvaro98"_qs << false << QString();
    QTest::newRow("parent key") << u"Software\\Kesso Soft"_qs << u"DataFile"_qs << true
                                << u"wrong key"_qs;
    QTest::newRow("missing key") << u"Software\\Other"_qs << u"DataFile"_qs << false << QString();
}

void TestRegistry::readsValues()
{
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(bool, present);
    QFETCH(QString, value);
    const auto registry = WineRegistry::FromText(QString::fromLatin1(kUserReg));
    const std::optional<QString> read = registry->ReadString(key, name);
    QCOMPARE(read.has_value(), present);
    if (present)
        QCOMPARE(*read, value);
}

void TestRegistry::escapesRoundTrip()
{
    TestWorld world;
    const QString tricky = u"C:\\ｱｸｱ \"水槽\"\\x41 テスト.uld"_qs;
    world.WriteRegistry({{u"DataFile"_qs, tricky}, {u"BGMFile"_qs, u"C:\\m\\a.lst"_qs}});
    const auto registry = OpenUserRegistry(world.Prefix());
    QCOMPARE(registry->ReadString(u"Software\\Kesso Soft\\Ulvaro"_qs, u"DataFile"_qs).value(),
             tricky);
    QCOMPARE(registry->ReadString(u"Software\\Kesso Soft\\Ulvaro"_qs, u"BGMFile"_qs).value(),
             u"C:\\m\\a.lst"_qs);
}

void TestRegistry::missingFileIsEmpty()
{
    const auto registry = OpenUserRegistry(u"/nonexistent/prefix"_qs);
    QVERIFY(!registry->ReadString(u"Software\\Kesso Soft\\Ulvaro"_qs, u"DataFile"_qs));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
