#pragma once

#include <QPoint>
#include <QString>
#include <optional>
#include <string>

namespace quendro::view {

// What the window keeps between runs, in the user's config folder
// ($XDG_CONFIG_HOME/quendro/quendro.conf, by default ~/.config/…): the base
// address typed into txtTaikai, the window's position and the zoom. Nothing
// else is kept; the season and the data source follow start-up. One setting
// is only read: server/caFile, a certificate-authority file trusted beside the
// system's for a publisher reached over https (a publisher's own CA).
class WindowSettings {
  public:
    // The settings file in the user's config folder.
    static QString defaultFile();
    explicit WindowSettings(QString file = defaultFile());

    std::optional<std::u16string> baseUrl() const;
    std::optional<QPoint> position() const;
    double zoom() const;  // 1 when none is kept
    std::string caFile() const;  // empty when none is set

    void keepBaseUrl(const std::u16string& url);
    void keepPosition(QPoint position);
    void keepZoom(double zoom);

  private:
    QString file_;
};

}  // namespace quendro::view
