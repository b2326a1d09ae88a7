#include "platform/outcome.h"

#include <cerrno>
#include <system_error>

QString systemReason(int error) {
    switch (error) {
        case 0:
            return QStringLiteral("未知错误");
        case EACCES:
        case EPERM:
            return QStringLiteral("没有权限");
        case EROFS:
            return QStringLiteral("所在的文件系统是只读的");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("磁盘空间不足");
        case ENOTDIR:
        case EEXIST:
            return QStringLiteral("路径中有一项不是文件夹");
        case ENOENT:
            return QStringLiteral("路径不存在");
        case ENAMETOOLONG:
            return QStringLiteral("路径太长");
        default:
            return QString::fromStdString(std::generic_category().message(error));
    }
}
