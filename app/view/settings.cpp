#include "app/view/settings.h"

#include <QSettings>
#include <QStandardPaths>

namespace quendro::view {
namespace {

const QString kBaseUrl = QStringLiteral("server/baseUrl");
const QString kPosition = QStringLiteral("window/position");
const QString kZoom = QStringLiteral("window/zoom");
const QString kCaFile = QStringLiteral("server/caFile");

}  // namespace

QString WindowSettings::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quendro/quendro.conf");
}

WindowSettings::WindowSettings(QString file) : file_(std::move(file)) {}

std::optional<std::u16string> WindowSettings::baseUrl() const {
    QSettings settings(file_, QSettings::IniFormat);
    if (!settings.contains(kBaseUrl)) return std::nullopt;
    return settings.value(kBaseUrl).toString().toStdU16String();
}

std::optional<QPoint> WindowSettings::position() const {
    QSettings settings(file_, QSettings::IniFormat);
    if (!settings.contains(kPosition)) return std::nullopt;
    return settings.value(kPosition).toPoint();
}

double WindowSettings::zoom() const {
    QSettings settings(file_, QSettings::IniFormat);
    bool ok = false;
    double zoom = settings.value(kZoom, 1.0).toDouble(&ok);
    return ok && zoom > 0 ? zoom : 1.0;
}

std::string WindowSettings::caFile() const {
    QSettings settings(file_, QSettings::IniFormat);
    return settings.value(kCaFile).toString().toStdString();
}

void WindowSettings::keepBaseUrl(const std::u16string& url) {
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(kBaseUrl, QString::fromStdU16String(url));
}

void WindowSettings::keepPosition(QPoint position) {
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(kPosition, position);
}

void WindowSettings::keepZoom(double zoom) {
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(kZoom, zoom);
}

}  // namespace quendro::view
