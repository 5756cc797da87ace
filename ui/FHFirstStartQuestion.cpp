#include "ui/FHFirstStartQuestion.h"

#include <QCheckBox>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

FHFirstStartQuestion::Answer FHFirstStartQuestion::ask(
    int toMove, int toStay, QWidget *parent, bool *dontAskAgain)
{
    QString text = tr("Photos to be moved and renamed: %1").arg(QLocale().toString(toMove));
    // Otherwise the files the user counts in the folder and this number differ.
    if (toStay > 0)
        text += QLatin1Char('\n')
            + tr("%n file(s) would stay in the input; the preview says why.", nullptr, toStay);
    QMessageBox box(
        QMessageBox::Question, tr("Sort the photos"), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("firstStartQuestion"));
    box.setInformativeText(tr("They move from the input folder into the output folder and are "
                              "renamed in the order they were taken. The preview lists every "
                              "file's new folder and name before anything moves."));
    // Both accept: the box lays out buttons of one role in the order they came.
    QPushButton *preview = box.addButton(tr("Preview"), QMessageBox::AcceptRole);
    preview->setObjectName(QStringLiteral("previewButton"));
    QPushButton *sort = box.addButton(tr("Sort"), QMessageBox::AcceptRole);
    sort->setObjectName(QStringLiteral("sortButton"));
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    box.setDefaultButton(preview);
    box.setEscapeButton(cancel);
    QCheckBox *check = nullptr;
    if (dontAskAgain) {
        check = new QCheckBox(tr("Don't ask again"), &box);
        check->setObjectName(QStringLiteral("dontAskAgainBox"));
        box.setCheckBox(check);
    }
    box.exec();

    const Answer answer = box.clickedButton() == preview ? Preview
        : box.clickedButton() == sort                    ? Sort
                                                         : Cancel;
    if (dontAskAgain)
        *dontAskAgain = answer != Cancel && check->isChecked();
    return answer;
}
