#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QComboBox;
class QSpinBox;

// Asks for the size of a picture of the view before File > Save Picture asks where: the view's
// own size (the default), a multiple of it, a common screen size, or any width and height up to
// the largest side the GL can draw.
class CSavePictureDlg : public QDialog
{
    Q_OBJECT

public:
    struct Preset
    {
        QString label;
        int width;
        int height;
    };
    // The sizes offered for a view of viewWidth × viewHeight pixels, the view's own first; none
    // with a side over maxSide.
    static std::vector<Preset> Presets(int viewWidth, int viewHeight, int maxSide);

    CSavePictureDlg(int viewWidth, int viewHeight, int maxSide, QWidget* parent = nullptr);

    int PictureWidth() const;
    int PictureHeight() const;

private:
    void OnPresetChosen(int index);

    std::vector<Preset> presets;
    QComboBox* choice = nullptr;
    QSpinBox* width = nullptr;
    QSpinBox* height = nullptr;
};
