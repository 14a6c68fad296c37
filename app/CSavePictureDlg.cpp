#include "app/CSavePictureDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <algorithm>

std::vector<CSavePictureDlg::Preset> CSavePictureDlg::Presets(int viewWidth, int viewHeight,
                                                              int maxSide)
{
    std::vector<Preset> presets;
    auto offer = [&](const QString& label, int w, int h)
    {
        if (w < 1 || h < 1 || w > maxSide || h > maxSide)
            return;
        for (const Preset& known : presets)
            if (known.width == w && known.height == h)
                return;
        presets.push_back({QString("%1 (%2 × %3)").arg(label).arg(w).arg(h), w, h});
    };
    offer("Window size", viewWidth, viewHeight);
    for (int factor : {2, 3, 4})
        offer(QString("%1 × the window").arg(factor), viewWidth * factor, viewHeight * factor);
    offer("Full HD", 1920, 1080);
    offer("4K", 3840, 2160);
    offer("8K", 7680, 4320);
    return presets;
}

CSavePictureDlg::CSavePictureDlg(int viewWidth, int viewHeight, int maxSide, QWidget* parent)
    : QDialog(parent), presets(Presets(viewWidth, viewHeight, maxSide))
{
    setWindowTitle("Save Picture");
    auto* layout = new QFormLayout(this);
    choice = new QComboBox(this);
    for (const Preset& preset : presets)
        choice->addItem(preset.label);
    choice->addItem("Other size");
    layout->addRow("Size:", choice);

    const int largest = std::max(1, maxSide);
    width = new QSpinBox(this);
    height = new QSpinBox(this);
    for (QSpinBox* side : {width, height})
    {
        side->setRange(1, largest);
        side->setSuffix(" px");
    }
    width->setValue(std::clamp(viewWidth, 1, largest));
    height->setValue(std::clamp(viewHeight, 1, largest));
    layout->addRow("Width:", width);
    layout->addRow("Height:", height);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);

    connect(choice, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CSavePictureDlg::OnPresetChosen);
    OnPresetChosen(0);
}

void CSavePictureDlg::OnPresetChosen(int index)
{
    const bool preset = index >= 0 && static_cast<size_t>(index) < presets.size();
    if (preset)
    {
        width->setValue(presets[static_cast<size_t>(index)].width);
        height->setValue(presets[static_cast<size_t>(index)].height);
    }
    width->setEnabled(!preset);
    height->setEnabled(!preset);
}

int CSavePictureDlg::PictureWidth() const
{
    return width->value();
}

int CSavePictureDlg::PictureHeight() const
{
    return height->value();
}
