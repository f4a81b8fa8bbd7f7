#include "app/profiles/profiles_dlg_layout.h"

namespace tessaron::app::profilesdlg {

const Texts& texts(Language lang) {
    static const Texts english{
        QStringLiteral("Profile"), QStringLiteral("New"),  QStringLiteral("Delete"),
        QStringLiteral("Copy"),    QStringLiteral("Save"), QStringLiteral("Load"),
    };
    static const Texts chinese{
        QStringLiteral("配置"), QStringLiteral("新建"), QStringLiteral("删除"),
        QStringLiteral("复制"), QStringLiteral("保存"), QStringLiteral("加载"),
    };
    return pick(lang, english, chinese);
}

QString commandLabel(Command command, Language lang) {
    const Texts& t = texts(lang);
    switch (command) {
        case Command::New:
            return t.newLabel;
        case Command::Copy:
            return t.copyLabel;
        case Command::Save:
            return t.saveLabel;
        case Command::Load:
            return t.loadLabel;
        case Command::Delete:
            return t.deleteLabel;
    }
    return {};
}

}  // namespace tessaron::app::profilesdlg
