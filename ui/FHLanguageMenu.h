#ifndef FHLANGUAGEMENU_H
#define FHLANGUAGEMENU_H

#include <QMenu>

class QActionGroup;

// The Language menu: one entry per translation beside the program, named in
// its own language, with its badge. Choosing one switches the program to it.
class FHLanguageMenu : public QMenu
{
    Q_OBJECT

public:
    explicit FHLanguageMenu(QWidget *parent = nullptr);
    ~FHLanguageMenu() override;

    // Checks the entry of the language code and switches to it; an unknown
    // code changes nothing.
    void select(const QString &code);
    // The code of the checked entry; empty when none is.
    QString selected() const;

private:
    QActionGroup *m_group;
};

#endif // FHLANGUAGEMENU_H
