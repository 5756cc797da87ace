#include "ui/FHRuleDialog.h"

#include "engine/FHNaming.h"
#include "ui/FHFontFit.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString numKeyword = QStringLiteral("${NUM}");

// The reasons namePatternProblem() gives for a pattern with ${NUM}, looked up
// by their English text; one that is not listed shows as it is.
const char *const patternProblems[] Q_DECL_UNUSED = {
    QT_TRANSLATE_NOOP("FHNaming", "it holds \"/\", which would send the photos into other folders"),
    QT_TRANSLATE_NOOP("FHNaming", "it holds a NUL character"),
    QT_TRANSLATE_NOOP("FHNaming", "the names would be longer than 255 bytes"),
};
} // namespace

FHRuleDialog::FHRuleDialog(QWidget *parent)
    : QDialog(parent, Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_exampleEdit(new QLineEdit(this))
    , m_layout(new QGridLayout(this))
    , m_introLabel(new QLabel(this))
    , m_tableLabel(new QLabel(this))
    , m_exampleCaption(new QLabel(this))
    , m_resultCaption(new QLabel(this))
    , m_resultLabel(new QLabel(this))
    , m_noteLabel(new QLabel(this))
    , m_instructionLabel(new QLabel(this))
    , m_separator(new QFrame(this))
    , m_buttonBox(new QDialogButtonBox(QDialogButtonBox::Close, Qt::Horizontal, this))
{
    setFixedSize(450, 350);

    m_introLabel->setObjectName(QStringLiteral("introLabel"));
    m_tableLabel->setObjectName(QStringLiteral("tableLabel"));
    m_noteLabel->setObjectName(QStringLiteral("noteLabel"));
    m_instructionLabel->setObjectName(QStringLiteral("instructionLabel"));
    m_exampleCaption->setObjectName(QStringLiteral("exampleCaption"));
    m_exampleEdit->setObjectName(QStringLiteral("exampleEdit"));
    m_resultCaption->setObjectName(QStringLiteral("resultCaption"));
    m_resultLabel->setObjectName(QStringLiteral("resultLabel"));

    m_introLabel->setWordWrap(true);
    m_tableLabel->setTextFormat(Qt::RichText);
    m_instructionLabel->setWordWrap(true);
    m_resultLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_resultLabel->setTextFormat(Qt::RichText);
    m_resultLabel->setWordWrap(true);
    m_separator->setFrameShape(QFrame::HLine);
    m_separator->setFrameShadow(QFrame::Sunken);

    m_layout->addWidget(m_introLabel, 0, 0, 1, 2);
    m_layout->addWidget(m_tableLabel, 1, 0, 1, 2);
    m_layout->addWidget(m_noteLabel, 2, 0, 1, 2);
    m_layout->addWidget(m_instructionLabel, 3, 0, 1, 2);
    m_layout->addWidget(m_exampleCaption, 4, 0);
    m_layout->addWidget(m_exampleEdit, 4, 1);
    m_layout->addWidget(m_resultCaption, 5, 0);
    m_layout->addWidget(m_resultLabel, 5, 1);
    m_layout->addWidget(m_separator, 6, 0, 1, 2);
    m_layout->addWidget(m_buttonBox, 7, 1);

    connect(m_exampleEdit, &QLineEdit::textChanged, this, &FHRuleDialog::exampleEdited);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

FHRuleDialog::~FHRuleDialog() = default;

void FHRuleDialog::retranslate()
{
    m_introLabel->setText(
        tr("You could add any text to the customized file name, i.e. 'Paris' as the place. But "
           "following keywords will be replaced with real value, i.e. ${YYYY} will be replaced "
           "with 2014, if the image is taken in the year of 2014. The table below demonstrates "
           "the rules with an example taken at 23:34:45 on the 31st of December 2014."));

    const QString row = QStringLiteral("<tr><td>%1</td><td><b>%2</b></td><td>%3</td><td>%4</td>"
                                       "<td>%5</td><td>%6</td><td>%7</td><td>%8</td></tr>");
    // One arg() call per template: a translated cell holding "%3" stays as it is.
    const QString keywords = row.arg(tr("Keywords"), tr("${NUM}"), tr("${YYYY}"), tr("${mm}"),
        tr("${DD}"), tr("${HH}"), tr("${MM}"), tr("${SS}"));
    const QString meanings = row.arg(tr("Meaning"), tr("Number"), tr("Year"), tr("Month"),
        tr("Day"), tr("Hour"), tr("Minute"), tr("Second"));
    const QString digits
        = row.arg(tr("Digits"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("2"),
            QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("2"));
    const QString example = row.arg(tr("Example"), QStringLiteral("001"), QStringLiteral("2014"),
        QStringLiteral("12"), QStringLiteral("31"), QStringLiteral("23"), QStringLiteral("34"),
        QStringLiteral("45"));
    m_tableLabel->setText(
        QStringLiteral("<html><body><table border=1 border-color=black border-style=solid "
                       "cellpadding=5 cellspacing=0 align=center>%1%2%3%4</table></body></html>")
            .arg(keywords, meanings, digits, example));

    m_noteLabel->setText(
        QStringLiteral("%1 %2 %3.").arg(tr("NOTE:"), numKeyword, tr("is mandatory")));
    m_instructionLabel->setText(
        tr("Please update example field below and result will be shown in the result field."));
    m_exampleCaption->setText(tr("Example:"));
    m_resultCaption->setText(tr("Result:"));
    shrinkFontToFit(this, m_layout);
}

void FHRuleDialog::setExample(const QString &text)
{
    m_exampleEdit->setText(text.isEmpty() ? tr("Paris ${YYYY}-${mm}-${DD} ${NUM}") : text);
}

QLineEdit *FHRuleDialog::exampleEdit() const
{
    return m_exampleEdit;
}

void FHRuleDialog::exampleEdited(const QString &text)
{
    QString problem;
    if (!text.contains(numKeyword, Qt::CaseSensitive)) {
        problem = QStringLiteral("%1 %2").arg(numKeyword, tr("is missing."));
    } else if (const QString reason = namePatternProblem(text); !reason.isEmpty()) {
        // The run would refuse it: say so while it is typed.
        problem = tr("Not usable: %1.")
                      .arg(QCoreApplication::translate("FHNaming", reason.toUtf8().constData()));
    }
    if (problem.isEmpty()) {
        QString result = text;
        m_resultLabel->setText(expandNamePattern(result, 1, 2014, 12, 31, 23, 34, 45));
    } else {
        m_resultLabel->setText(QStringLiteral("<html><body><font color=red>%1</font></body></html>")
                                   .arg(problem.toHtmlEscaped()));
    }
}
