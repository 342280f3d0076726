#include "core/platform/numbers.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"

#include <QTest>

using namespace aquarium;

class TestErrors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void strToInt_data();
    void strToInt();
    void hexToInt_data();
    void hexToInt();
    void texts();
    void guardShowsTheErrorAndGoesOn();
    void scriptedPromptsAnswerInOrder();
};

void TestErrors::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << u"42"_qs << true << 42;
    QTest::newRow("sign") << u"-3"_qs << true << -3;
    QTest::newRow("plus") << u"+7"_qs << true << 7;
    QTest::newRow("leading zeros") << u"007"_qs << true << 7;
    QTest::newRow("largest") << u"2147483647"_qs << true << 2147483647;
    QTest::newRow("smallest") << u"-2147483648"_qs << true << int(-2147483647 - 1);
    QTest::newRow("overflow") << u"2147483648"_qs << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("blank inside") << u"1 2"_qs << false << 0;
    QTest::newRow("leading blank") << u" 1"_qs << false << 0;
    QTest::newRow("letters") << u"abc"_qs << false << 0;
    QTest::newRow("sign only") << u"-"_qs << false << 0;
    QTest::newRow("full-width digit") << u"１"_qs << false << 0;
    QTest::newRow("decimal") << u"1.5"_qs << false << 0;
}

void TestErrors::strToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int parsed = -99;
    QCOMPARE(TryStrToInt(text, parsed), ok);
    if (ok) {
        QCOMPARE(parsed, value);
        QCOMPARE(StrToInt(text), value);
    } else {
        QCOMPARE(parsed, -99);
        try {
            (void)StrToInt(text);
            QFAIL("no error");
        } catch (const PlatformError& e) {
            QCOMPARE(e.Text(), QStringLiteral("'%1' は数値ではありません").arg(text));
        }
    }
}

void TestErrors::hexToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("colour") << u"0080FF"_qs << true << 0x0080FF;
    QTest::newRow("lower case") << u"00ff00"_qs << true << 0x00FF00;
    QTest::newRow("32 bits") << u"FFFFFFFF"_qs << true << -1;
    QTest::newRow("too long") << u"100000000"_qs << false << 0;
    QTest::newRow("not hex") << u"12G"_qs << false << 0;
    QTest::newRow("no sign") << u"-1"_qs << false << 0;
}

void TestErrors::hexToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    if (ok) {
        QCOMPARE(HexToInt(text), value);
    } else {
        QVERIFY_THROWS_EXCEPTION(PlatformError, (void)HexToInt(text));
    }
}

void TestErrors::texts()
{
    QCOMPARE(PlatformError::IoError(5).Text(), u"I/O エラー (5)"_qs);
    QCOMPARE(PlatformError::CannotCreate(u"C:\\a.uld"_qs).Text(),
             u"ファイル C:\\a.uld を作成できません"_qs);
    QCOMPARE(PlatformError::CannotOpen(u"C:\\a.uld"_qs).Text(), u"ファイル C:\\a.uld は開けません"_qs);
    QCOMPARE(PlatformError::InvalidBitmap().Text(), u"ビットマップイメージが不正です"_qs);
    QCOMPARE(PlatformError::RangeCheck().Text(), u"範囲チェックエラー"_qs);
    QCOMPARE(PlatformError::IntegerOverflow().Text(), u"整数のオーバーフロー"_qs);
    QCOMPARE(PlatformError::DivisionByZero().Text(), u"ゼロによる除算"_qs);
    QVERIFY_THROWS_EXCEPTION(PlatformError, (void)Div(1, 0));
    QCOMPARE(Div(-7, 2), -3);
}

void TestErrors::guardShowsTheErrorAndGoesOn()
{
    ScriptedPrompts prompts;
    int reached = 0;
    QVERIFY(!Guard(prompts, [&] {
        reached = 1;
        (void)StrToInt(u"x1"_qs);
        reached = 2;
    }));
    QCOMPARE(reached, 1); // the state reached before the error stays
    QVERIFY(Guard(prompts, [&] { reached = 3; }));
    QCOMPARE(reached, 3);
    QVERIFY(!Guard(prompts, [] { throw std::runtime_error("unexpected"); }));
    QCOMPARE(prompts.Messages(), (QStringList{u"'x1' は数値ではありません"_qs, u"unexpected"_qs}));
    QCOMPARE(prompts.Records()[0].kind, ScriptedPrompts::Record::Kind::Error);
}

void TestErrors::scriptedPromptsAnswerInOrder()
{
    ScriptedPrompts prompts;
    prompts.QueueAnswer(u"C:\\a.uld"_qs);
    prompts.QueueAnswer(std::nullopt);
    FileDialogRequest request;
    request.Filter = u"Ulvaro Data File|*.uld"_qs;
    QCOMPARE(prompts.OpenFileName(request).value(), u"C:\\a.uld"_qs);
    QVERIFY(!prompts.SaveFileName(request));
    QVERIFY(!prompts.OpenFileName(request)); // an exhausted queue cancels
    QCOMPARE(prompts.Dialogs().size(), size_t(3));
    QCOMPARE(prompts.Dialogs()[0].Filter, request.Filter);
    prompts.ShowMessage(u"熱帯魚"_qs);
    QCOMPARE(prompts.Messages(), QStringList{u"熱帯魚"_qs});
}

QTEST_GUILESS_MAIN(TestErrors)
#include "tst_errors.moc"
