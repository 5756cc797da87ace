#include "ui/FHLanguageMenu.h"

#include "shell/FHApplication.h"
#include "ui/FHPicture.h"

#include <QAction>
#include <QActionGroup>
#include <QLocale>

FHLanguageMenu::FHLanguageMenu(QWidget *parent)
    : QMenu(parent)
    , m_group(new QActionGroup(this))
{
    setObjectName(QStringLiteral("languageMenu"));
    m_group->setExclusive(true);
    connect(m_group, &QActionGroup::triggered, this,
        [](QAction *action) { FHApplication::setLanguage(action->data().toString()); });

    const QStringList codes = FHApplication::languages();
    for (const QString &code : codes) {
        QString label;
        if (code == QLatin1String("zh"))
            label = QStringLiteral("中文");
        else if (code == QLatin1String("en"))
            label = QStringLiteral("English");
        else
            label = QLocale(code).nativeLanguageName();
        const QIcon icon(picturePath(QStringLiteral("image/%1.png").arg(code)));
        auto *action = new QAction(icon, label, this);
        action->setData(code);
        action->setCheckable(true);
        addAction(action);
        m_group->addAction(action);
    }
}

FHLanguageMenu::~FHLanguageMenu() = default;

void FHLanguageMenu::select(const QString &code)
{
    const QList<QAction *> entries = m_group->actions();
    for (QAction *entry : entries) {
        if (entry->data().toString() == code) {
            entry->setChecked(true);
            FHApplication::setLanguage(code);
            return;
        }
    }
}

QString FHLanguageMenu::selected() const
{
    const QAction *checked = m_group->checkedAction();
    return checked ? checked->data().toString() : QString();
}
