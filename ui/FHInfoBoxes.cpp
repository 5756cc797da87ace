#include "ui/FHInfoBoxes.h"

#include "FHConfig.h"
#include "ui/FHPicture.h"
#include "ui/FHRunSummary.h"

#include <QMessageBox>

namespace {

const QString productName = QStringLiteral("Quilm");

QMessageBox *createBox(QWidget *window)
{
    auto *box = new QMessageBox(window);
    // A message box is modal by default; these leave the window usable, and
    // each goes away when it is closed.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIconPixmap(loadPicture(QStringLiteral("image/logoSmall.png")));
    box->setWindowTitle(QStringLiteral(" %1").arg(productName));
    return box;
}

} // namespace

void FHInfoBoxes::showAbout(QWidget *window, const QString &reportsShortcut)
{
    QMessageBox *box = createBox(window);
    box->setObjectName(QStringLiteral("aboutBox"));
    const QString notice = tr("Press %1 to see the reports of this session.").arg(reportsShortcut);
    box->setText(
        QStringLiteral("<html><head></head><body><p><b> %1</b> %2 %3.%4.%5</p><p><table><tr>"
                       "<td>%6</td><td><a href=\"%7\">%7</a></td></tr><tr><td>%8</td><td><a "
                       "href=\"mailto:%9\">%9</a></td></tr></table></p><p>%10</p></body></html>")
            .arg(productName, tr("version"), QString::number(3), QString::number(3),
                QString::number(1), tr("Website"), QStringLiteral(QUILM_WEBSITE),
                tr("Technical Support"), QStringLiteral(QUILM_SUPPORT_EMAIL), notice));
    box->show();
}

void FHInfoBoxes::showSummary(QWidget *window, const FHRunSummary &summary,
    const QString &undoMenuPath, const QString &fileTypesMenuPath)
{
    if (!summary.needsBox())
        return;
    QMessageBox *box = createBox(window);
    box->setObjectName(QStringLiteral("summaryBox"));
    QString paragraphs
        = QStringLiteral("<p>%1</p>").arg(summary.counts(undoMenuPath).toHtmlEscaped());
    const QString otherTypes = summary.otherTypes(fileTypesMenuPath);
    if (!otherTypes.isEmpty())
        paragraphs += QStringLiteral("<p>%1</p>").arg(otherTypes.toHtmlEscaped());
    box->setText(QStringLiteral("<html><head></head><body>%1<p>%2 %3</p></body></html>")
                     .arg(paragraphs, tr("For more information please visit:"),
                         tr("<a href=\"%1\">%1</a>").arg(QStringLiteral(QUILM_PRODUCT_PAGE))));
    if (summary.leftCount() > 0)
        box->setDetailedText(summary.details());
    box->show();
}
