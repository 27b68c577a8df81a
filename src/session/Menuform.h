#pragma once

#include <QString>

class AutomaticPoll;

// The refresh menu: each procedure asks the radio for one value on the query channel. An
// explicit refresh postpones the next automatic poll by a full interval, so the poll does not
// ask the same thing again right behind it.
class Menuform {
public:
    explicit Menuform(AutomaticPoll &poll);

    void Mnu_Menus_Refresh_Click() { refresh(QStringLiteral("MINFO")); }
    void Mnu_Minfo_Refresh_Click() { refresh(QStringLiteral("MINFO")); }
    void Mnu_Meta_Refresh_Click() { refresh(QStringLiteral("METAINFO")); }
    void Mnu_Info_Refresh_Click() { refresh(QStringLiteral("LISTINFO")); }
    void Mnu_State_Refresh_Click() { refresh(QStringLiteral("STATE")); }
    void Mnu_Version_Refresh_Click() { refresh(QStringLiteral("VERSION")); }
    void Mnu_Volume_Refresh_Click() { refresh(QStringLiteral("VOLUME")); }

private:
    void refresh(const QString &query);

    AutomaticPoll &m_poll;
};
