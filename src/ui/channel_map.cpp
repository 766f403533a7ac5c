#include "ui/channel_map.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kTileGap = 3;

QColor ColourOf(uint32_t rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

} // namespace

CChannelMap::CChannelMap(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("channelMap"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum); // the plot takes the height left
    for (int channel = 1; channel <= kMapColumns * kMapRows; ++channel)
        m_tiles[Index(channel)] = TileOf(channel, {}, nullptr, {}, TileState::Waiting);
}

size_t CChannelMap::Index(int channel)
{
    return static_cast<size_t>(std::clamp(channel, 1, kMapColumns * kMapRows) - 1);
}

void CChannelMap::SetTile(int channel, const ChannelTile& tile)
{
    if (channel < 1 || channel > kMapColumns * kMapRows)
        return;
    m_tiles[Index(channel)] = tile;
    update(TileRect(channel));
}

void CChannelMap::SetSelected(int channel)
{
    if (channel == m_selected)
        return;
    m_selected = channel;
    update();
}

QRect CChannelMap::TileRect(int channel) const
{
    const int index = static_cast<int>(Index(channel));
    const int width = (this->width() - kTileGap) / kMapColumns;
    const int height = (this->height() - kTileGap) / kMapRows;
    return { kTileGap + (index % kMapColumns) * width, kTileGap + (index / kMapColumns) * height, width - kTileGap,
        height - kTileGap };
}

void CChannelMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont small = font();
    const int lineHeight = QFontMetrics(small).height();
    for (int channel = 1; channel <= kMapColumns * kMapRows; ++channel) {
        const QRect box = TileRect(channel);
        const ChannelTile& tile = m_tiles[Index(channel)];
        painter.fillRect(box, ColourOf(TileColourRgb(tile.State)));
        painter.setPen(QPen(channel == m_selected ? Qt::blue : Qt::darkGray, channel == m_selected ? 3 : 1));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        const QRect text = box.adjusted(3, 2, -3, -2);
        const auto line = [&](int row, const std::string& value, bool bold) {
            QFont face = small;
            face.setBold(bold);
            painter.setFont(face);
            const QRect area(text.left(), text.top() + row * lineHeight, text.width(), lineHeight);
            painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(face).elidedText(QString::fromStdString(value), Qt::ElideRight, area.width()));
        };
        line(0, tile.Caption, true);
        line(1, tile.Value, false);
        line(2, tile.Yield, false);
    }
}

void CChannelMap::mousePressEvent(QMouseEvent* event)
{
    for (int channel = 1; channel <= kMapColumns * kMapRows; ++channel) {
        if (TileRect(channel).contains(event->position().toPoint())) {
            emit ChannelClicked(channel);
            return;
        }
    }
}
