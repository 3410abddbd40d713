#pragma once
// The message both windows with drive, folder and file boxes show when a
// drive or folder cannot be read.

#include "toolkit/Platform.h"

namespace vastrel::tk {

inline const QString kDriveUnreadable = QStringLiteral("ドライブを読み取れません");
inline const QString kFileListUnreadable = QStringLiteral("ファイルの一覧を読めません");

inline void reportCannotOpenFolder(Platform& platform, const QString& path, const QString& reason)
{
    platform.MsgBox(QStringLiteral(" --- フォルダーを開けません --- \n\n%1\n%2").arg(path, reason),
                    kExclamationMessage);
}

}  // namespace vastrel::tk
