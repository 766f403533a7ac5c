#pragma once

#include <QWidget>
#include <array>

#include "uilogic/live_view_logic.h"

// The 42 MUX channels as tiles, 7 to a row, each coloured by the channel's last judgement and
// showing its name, last value and yield. Clicking a tile chooses the channel to plot.
class CChannelMap final : public QWidget {
    Q_OBJECT

public:
    explicit CChannelMap(QWidget* parent = nullptr);

    void SetTile(int channel, const ChannelTile& tile); // channel 1..42
    void SetSelected(int channel); // 0: none
    [[nodiscard]] const ChannelTile& Tile(int channel) const { return m_tiles[Index(channel)]; }
    [[nodiscard]] QRect TileRect(int channel) const;

    QSize sizeHint() const override { return { 560, 300 }; }
    QSize minimumSizeHint() const override { return { 420, 240 }; }

signals:
    void ChannelClicked(int channel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    static size_t Index(int channel);

    std::array<ChannelTile, kMapColumns * kMapRows> m_tiles {};
    int m_selected = 0;
};
