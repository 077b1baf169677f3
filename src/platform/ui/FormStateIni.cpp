#include "FormStateIni.h"

#include "ScreenPlacement.h"

#include "platform/IniFile.h"

#include <QWidget>

TFormStateIni::TFormStateIni(std::string fileName) : m_fileName(std::move(fileName))
{
}

std::string TFormStateIni::SectionName(const QWidget& form)
{
    const QString name = form.objectName();
    return name.isEmpty() ? std::string(form.metaObject()->className()) : name.toStdString();
}

void TFormStateIni::Restore(QWidget& form) const
{
    const TIniFile32 ini(m_fileName);
    const std::string section = SectionName(form);
    if (ini.ReadBool(section, "State", false)) {
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
        return;
    }
    const int left = ini.ReadInteger(section, "Left", form.x());
    const int top = ini.ReadInteger(section, "Top", form.y());
    const int width = ini.ReadInteger(section, "Width", form.width());
    const int height = ini.ReadInteger(section, "Height", form.height());
    // A placement off every screen (another screen layout) is moved onto one.
    const QRect placed = PlaceOnScreens(QRect(left, top, width, height));
    form.move(placed.topLeft());
    form.resize(placed.size());
}

void TFormStateIni::Save(const QWidget& form) const
{
    TIniFile32 ini(m_fileName);
    const std::string section = SectionName(form);
    const bool maximised = form.isMaximized();
    ini.WriteBool(section, "State", maximised);
    if (maximised)
        return;
    ini.WriteInteger(section, "Left", form.x());
    ini.WriteInteger(section, "Top", form.y());
    ini.WriteInteger(section, "Width", form.width());
    ini.WriteInteger(section, "Height", form.height());
}
