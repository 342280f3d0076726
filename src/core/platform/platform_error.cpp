#include "core/platform/platform_error.h"

#include "core/platform/prompts.h"

#include <new>

namespace aquarium {

PlatformError::PlatformError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) { }

PlatformError PlatformError::NotANumber(const QString& text)
{
    return PlatformError(QStringLiteral("'%1' は数値ではありません").arg(text));
}

PlatformError PlatformError::IoError(int code)
{
    return PlatformError(QStringLiteral("I/O エラー (%1)").arg(code));
}

PlatformError PlatformError::CannotCreate(const QString& path)
{
    return PlatformError(QStringLiteral("ファイル %1 を作成できません").arg(path));
}

PlatformError PlatformError::CannotOpen(const QString& path)
{
    return PlatformError(QStringLiteral("ファイル %1 は開けません").arg(path));
}

PlatformError PlatformError::InvalidBitmap()
{
    return PlatformError(QStringLiteral("ビットマップイメージが不正です"));
}

PlatformError PlatformError::RangeCheck()
{
    return PlatformError(QStringLiteral("範囲チェックエラー"));
}

PlatformError PlatformError::IntegerOverflow()
{
    return PlatformError(QStringLiteral("整数のオーバーフロー"));
}

PlatformError PlatformError::DivisionByZero()
{
    return PlatformError(QStringLiteral("ゼロによる除算"));
}

PlatformError PlatformError::OutOfMemory()
{
    return PlatformError(QStringLiteral("メモリが不足しています"));
}

PlatformError PlatformError::CannotDecode(const QString& path)
{
    return PlatformError(QStringLiteral("ファイル %1 は再生できる形式ではありません").arg(path));
}

PlatformError PlatformError::CannotEncode(const QString& text, QChar character)
{
    return PlatformError(
            QStringLiteral("'%1' の文字 '%2' (U+%3) は Shift-JIS で保存できません")
                    .arg(text, QString(character),
                         QStringLiteral("%1").arg(character.unicode(), 4, 16, QLatin1Char('0'))
                                 .toUpper()));
}

bool Guard(Prompts& prompts, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const PlatformError& error) {
        prompts.ShowError(error.Text());
    } catch (const std::bad_alloc&) {
        prompts.ShowError(PlatformError::OutOfMemory().Text());
    } catch (const std::exception& error) {
        prompts.ShowError(QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace aquarium
