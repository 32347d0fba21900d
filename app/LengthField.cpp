#include "app/LengthField.h"

#include "app/MainControls.h"

#include "app/WaveformHost.h"
#include "core/WaveDocument.h"
#include "core/files/WaveNumber.h"
#include "view/EntryFilter.h"

#include <QLineEdit>
#include <QWidget>

namespace arb
{

LengthField::LengthField(const MainControls &c, WaveformHost &host, QObject *parent)
    : QObject(parent), host_(host), Text_Arb_Length_(c.Text_Arb_Length)
{
    if (!Text_Arb_Length_)
        return;
    WaveDocument &document = host_.document();
    showLength(document.length());
    connect(&document, &WaveDocument::lengthChanged, this, &LengthField::showLength);
    auto *filter = new EntryFilter(Text_Arb_Length_, EntryKind::Length, host.prompt());
    connect(filter, &EntryFilter::commitRequested, this, [this] { host_.commitLength(); });
}

void LengthField::showLength(float length)
{
    Text_Arb_Length_->setText(QString::fromStdString(FormatWaveCount(length)));
}

void LengthField::mnuArbLength_Click()
{
    if (Text_Arb_Length_)
        Text_Arb_Length_->setFocus(Qt::OtherFocusReason);
}

} // namespace arb
