#include "HostHistoryPanel.h"

#include <algorithm>

#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "host/archive/HostDrift.h"
#include "host/archive/HostReadingTrend.h"
#include "host/archive/HostStaticPoints.h"
#include "host/output/HostFleetText.h"
#include "host/output/HostTrendPicture.h"
#include "host/visit/HostResultText.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

// The value beside the date: in the side panel's width the columns after them may need scrolling.
enum Column { kColumnPerformed, kColumnValue, kColumnVerdict, kColumnTechnician, kColumnRecord };

// Typing an asset id reads the database once the typing pauses, not at every key.
constexpr int kTypingPauseMs = 300;
// The panel shows the newest visits only: a long history is listed by orvex history.
constexpr int kShown = HostReadingTrend::kSearched;
// The trend's size in the panel, in pixels.
const QSize kTrendSize(330, 150);
// The static accuracy of the newest few visits: more would hide each other.
constexpr int kAccuracyVisits = 4;
const QSize kAccuracySize(330, 190);

// Date and time: a unit is often tested twice a day, and four visits of one day must differ.
QString Local(const QString& iso) {
    const QDateTime at = QDateTime::fromString(iso, Qt::ISODate);
    return at.isValid() ? at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : iso;
}

// A stored reading in the window's numbers, with the decimals it was stored with at least.
QString Shown(const HostVisitRecord::Reading& reading) {
    if (!reading.value) return reading.valueText;
    const qsizetype point = reading.valueText.indexOf(QLatin1Char('.'));
    const QString format =
        point < 0 ? QStringLiteral("0")
                  : QStringLiteral("0.") + QString(reading.valueText.size() - point - 1, QLatin1Char('0'));
    return HostResultText::ShownNumber(*reading.value, format);
}

}  // namespace

HostHistoryPanel::HostHistoryPanel(Texts texts, QWidget* parent)
    : QWidget(parent), m_texts(std::move(texts)) {
    setObjectName(QStringLiteral("HostHistoryPanel"));
    auto* layout = new QVBoxLayout(this);
    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(QStringLiteral("lblHistoryStatus"));
    m_lblStatus->setWordWrap(true);
    layout->addWidget(m_lblStatus);
    m_lstVisits = new QTreeWidget(this);
    m_lstVisits->setObjectName(QStringLiteral("lstVisits"));
    m_lstVisits->setRootIsDecorated(false);
    m_lstVisits->setSelectionMode(QAbstractItemView::NoSelection);
    m_lstVisits->setHeaderLabels({m_texts(QStringLiteral("1086::Performed"), nullptr),
                                  m_texts(QStringLiteral("1093::Value"), nullptr),
                                  m_texts(QStringLiteral("1088::Verdict"), nullptr),
                                  m_texts(QStringLiteral("1087::Technician"), nullptr), QString()});
    m_lstVisits->header()->setStretchLastSection(true);
    layout->addWidget(m_lstVisits, 1);
    m_lblReading = new QLabel(m_texts(QStringLiteral("1081::Reading:"), nullptr), this);
    layout->addWidget(m_lblReading);
    m_cboReading = new QComboBox(this);
    m_cboReading->setObjectName(QStringLiteral("cboReading"));
    m_cboReading->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(m_cboReading, &QComboBox::currentIndexChanged, this, [this] { ShowTrend(); });
    layout->addWidget(m_cboReading);
    m_lblTrend = new QLabel(this);
    m_lblTrend->setObjectName(QStringLiteral("lblTrend"));
    m_lblTrend->setMinimumSize(kTrendSize);
    m_lblTrend->setAlignment(Qt::AlignCenter);
    m_lblTrend->setWordWrap(true);
    layout->addWidget(m_lblTrend);
    m_lblDrift = new QLabel(this);
    m_lblDrift->setObjectName(QStringLiteral("lblDrift"));
    m_lblDrift->setAlignment(Qt::AlignCenter);
    m_lblDrift->setWordWrap(true);
    m_lblDrift->hide();
    layout->addWidget(m_lblDrift);
    m_lblAccuracy = new QLabel(this);
    m_lblAccuracy->setObjectName(QStringLiteral("lblAccuracy"));
    m_lblAccuracy->setAlignment(Qt::AlignCenter);
    m_lblAccuracy->hide();
    layout->addWidget(m_lblAccuracy);
    m_reading = new QTimer(this);
    m_reading->setSingleShot(true);
    connect(m_reading, &QTimer::timeout, this, [this] { Read(); });
}

void HostHistoryPanel::SetDatabase(const QString& url) {
    m_database = url;
    m_stale = true;
}

void HostHistoryPanel::ShowAsset(const QString& assetId) {
    if (assetId.trimmed() == m_assetId) return;
    m_assetId = assetId.trimmed();
    Reload();
}

void HostHistoryPanel::Reload() {
    m_stale = true;
    if (isVisible()) m_reading->start(kTypingPauseMs);
}

void HostHistoryPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale) Read();
}

QString HostHistoryPanel::Status() const { return m_lblStatus->text(); }

QString HostHistoryPanel::DriftShown() const { return m_lblDrift->text(); }

void HostHistoryPanel::Read() {
    m_reading->stop();
    m_stale = false;
    m_visits.clear();
    QString location;
    if (m_assetId.isEmpty()) {
        m_lblStatus->setText(
            m_texts(QStringLiteral("1082::Enter the asset ID to see its history."), nullptr));
    } else {
        try {
            HostResultsDatabase database(m_database, HostResultsDatabase::Access::Read);
            location = database.Location();
            // One more than is shown tells whether there are more.
            m_visits = database.History(m_assetId, kShown + 1);
            const bool more = m_visits.size() > kShown;
            if (more) m_visits.resize(kShown);
            VariantArray parameters = VariantArray::FromList(
                {Variant(static_cast<int32_t>(m_visits.size())), Variant(m_assetId), Variant(location)});
            VariantArray where = VariantArray::FromList({Variant(m_assetId), Variant(location)});
            m_lblStatus->setText(
                more ? m_texts(QStringLiteral("1095::The newest %%1 visits of %%2 in %%3; older ones are not "
                                              "shown here (orvex history --limit 0 lists them all)."),
                               &parameters)
                : m_visits.isEmpty()
                    ? m_texts(QStringLiteral("1083::No visit of %%1 is stored in %%2."), &where)
                : m_visits.size() == 1
                    ? m_texts(QStringLiteral("1094::One visit of %%1 in %%2."), &where)
                    : m_texts(QStringLiteral("1084::%%1 visits of %%2 in %%3, newest first."), &parameters));
            // Marks in the last column are easily out of sight in a narrow panel: the status says it too.
            const auto doubted = std::count_if(m_visits.begin(), m_visits.end(), [](const auto& visit) {
                return visit.altered || visit.broken;
            });
            if (doubted > 0) {
                VariantArray count = VariantArray::FromList({Variant(static_cast<int32_t>(doubted))});
                m_lblStatus->setText(
                    m_lblStatus->text() + QLatin1Char(' ') +
                    m_texts(QStringLiteral("1341::%%1 of them altered after they were stored or "
                                           "after a break in the seals (orvex verify names it)"),
                            &count));
            }
        } catch (const ComError& error) {
            // The history is a help, not a step of the visit: its failure is told here, not in a box.
            m_lblStatus->setText(error.Description());
        }
    }
    m_lstVisits->clear();
    for (const auto& visit : m_visits) {
        auto* item = new QTreeWidgetItem(m_lstVisits);
        item->setText(kColumnPerformed, Local(visit.record.performed));
        item->setText(kColumnTechnician, visit.record.technician);
        const QString& verdict = visit.record.verdict;
        item->setText(kColumnVerdict, verdict == QLatin1String("PASSED")
                                          ? m_texts(QStringLiteral("1063::passed"), nullptr)
                                      : verdict == QLatin1String("FAILED")
                                          ? m_texts(QStringLiteral("1064::failed"), nullptr)
                                          : m_texts(QStringLiteral("1092::incomplete"), nullptr));
        if (const QColor colour = HostResultText::StatusColour(verdict); colour.isValid())
            item->setForeground(kColumnVerdict, colour);
        item->setToolTip(kColumnPerformed, visit.file);
        if (visit.altered || visit.broken) {
            item->setText(kColumnRecord,
                          visit.altered
                              ? m_texts(QStringLiteral("1089::altered after it was stored"), nullptr)
                              : m_texts(QStringLiteral("1344::after a break in the seals (orvex verify "
                                                       "names it)"),
                                        nullptr));
            item->setForeground(kColumnRecord, QColor(192, 0, 0));
        }
    }
    for (int column = kColumnPerformed; column < kColumnRecord; ++column)
        m_lstVisits->resizeColumnToContents(column);

    // The reading chosen before stays chosen when the new history has it.
    const int before = m_cboReading->currentIndex();
    const HostReadingTrend::Reading chosen =
        before >= 0 && before < m_readings.size() ? m_readings[before] : HostReadingTrend::Reading{};
    m_readings = HostReadingTrend::Readings(m_visits);
    const QSignalBlocker quiet(m_cboReading);
    m_cboReading->clear();
    int keep = -1;
    for (qsizetype i = 0; i < m_readings.size(); ++i) {
        const auto& reading = m_readings[i];
        QString text =
            QStringLiteral("%1. %2: %3")
                .arg(reading.position)
                .arg(reading.testName, reading.description.isEmpty() ? reading.key : reading.description);
        if (!reading.unit.isEmpty()) text += QStringLiteral(" (%1)").arg(reading.unit);
        m_cboReading->addItem(text);
        if (reading.testId == chosen.testId && reading.position == chosen.position &&
            reading.key == chosen.key)
            keep = static_cast<int>(i);
    }
    // None chosen yet: the first reading judged against a limit, else the first.
    for (qsizetype i = 0; keep < 0 && i < m_readings.size(); ++i) {
        if (Judged(m_readings[i])) keep = static_cast<int>(i);
    }
    if (keep < 0 && !m_readings.isEmpty()) keep = 0;
    m_cboReading->setCurrentIndex(keep);
    // Nothing to choose: no chooser.
    m_lblReading->setVisible(!m_readings.isEmpty());
    m_cboReading->setVisible(!m_readings.isEmpty());
    ShowTrend();
    ShowAccuracy();
}

void HostHistoryPanel::SelectTest(int testId, int position) {
    // Of the test's readings, the first judged against a limit: the one a technician watches.
    int best = -1;
    int rank = 0;
    for (qsizetype i = 0; i < m_readings.size(); ++i) {
        if (m_readings[i].testId != testId) continue;
        const int here = (m_readings[i].position == position ? 2 : 0) + (Judged(m_readings[i]) ? 1 : 0);
        if (best < 0 || here > rank) {
            best = static_cast<int>(i);
            rank = here;
        }
    }
    if (best >= 0) m_cboReading->setCurrentIndex(best);
}

bool HostHistoryPanel::Judged(const HostReadingTrend::Reading& reading) const {
    for (const auto& visit : m_visits) {
        if (const auto* stored = HostReadingTrend::In(visit.record, reading))
            return !stored->limits.isEmpty();
    }
    return false;
}

QList<double> HostHistoryPanel::TrendShown() const {
    const int index = m_cboReading->currentIndex();
    QList<double> values;
    if (index < 0 || index >= m_readings.size()) return values;
    for (const auto& point : HostReadingTrend::Of(m_visits, m_readings[index])) values << point.value;
    return values;
}

void HostHistoryPanel::ShowTrend() {
    const int index = m_cboReading->currentIndex();
    // Each visit's value of the reading beside it, the numbers the picture draws.
    for (qsizetype i = 0; i < m_visits.size(); ++i) {
        const auto* stored = index >= 0 && index < m_readings.size()
                                 ? HostReadingTrend::In(m_visits[i].record, m_readings[index])
                                 : nullptr;
        const QString text = stored ? HostResultText::WithUnit(Shown(*stored), stored->unit) : QString();
        if (QTreeWidgetItem* item = m_lstVisits->topLevelItem(static_cast<int>(i))) {
            item->setText(kColumnValue, text);
            // Only a failed reading stands out; a passed one reads as the rest.
            if (stored && stored->status == QLatin1String("failed"))
                item->setForeground(kColumnValue, HostResultText::StatusColour(stored->status));
            else
                item->setData(kColumnValue, Qt::ForegroundRole, QVariant());
        }
    }
    m_lstVisits->resizeColumnToContents(kColumnValue);
    const auto points = index >= 0 && index < m_readings.size()
                            ? HostReadingTrend::Of(m_visits, m_readings[index])
                            : QList<HostReadingTrend::Point>();
    m_lblDrift->clear();
    m_lblDrift->hide();
    if (points.isEmpty()) {
        m_lblTrend->setPixmap(QPixmap());
        m_lblTrend->setText(
            m_visits.isEmpty()
                ? QString()
                : m_texts(QStringLiteral("1085::No reading of these visits has a number."), nullptr));
        return;
    }
    QList<double> values;
    QStringList dates;
    QList<QDateTime> times;
    HostDrift drift;
    for (const auto& point : points) {
        values << point.value;
        dates << Local(point.performed);
        times << QDateTime::fromString(point.performed, Qt::ISODate);
        drift.Add(times.last(), point.value);
    }
    // The band the newest visit was judged by.
    const auto& limits = points.last().limits;
    const HostVisitRecord::Limit band = limits.isEmpty() ? HostVisitRecord::Limit{} : limits.first();
    // The line through the points drawn, against the band drawn.
    const HostDrift::Band drawn{band.low, band.high};
    const auto line = drift.Fit(drawn);
    if (line) {
        m_lblDrift->setText(
            HostFleetText::Sentence(*line, drawn, m_readings[index].unit,
                                    [this](const QString& literal, const VariantArray& parameters) {
                                        return m_texts(literal, &parameters);
                                    }));
        m_lblDrift->show();
    }
    std::optional<HostTrendPicture::Fitted> fitted;
    if (line) fitted = HostTrendPicture::Fitted{times, *line, HostFleetText::Month(line->leaves)};
    QImage picture = HostTrendPicture::Draw(values, band.low, band.high, kTrendSize, dates, fitted);
    picture.setDevicePixelRatio(HostTrendPicture::kScale);
    m_lblTrend->setText(QString());
    m_lblTrend->setPixmap(QPixmap::fromImage(picture));
}

void HostHistoryPanel::ShowAccuracy() {
    m_accuracy.clear();
    QString unit;
    // The visits are newest first; the picture takes them oldest first, the newest drawn on top.
    for (const auto& visit : m_visits) {
        if (m_accuracy.size() == kAccuracyVisits) break;
        const QList<HostStaticPoints::Point> points = HostStaticPoints::Of(visit.record);
        HostAccuracyPicture::Series series =
            HostAccuracyPicture::SeriesOf(points, Local(visit.record.performed).left(10));
        if (series.points.isEmpty()) continue;
        for (const auto& point : points) {
            if (unit.isEmpty() && point.difference) unit = point.difference->unit;
        }
        m_accuracy.prepend(series);
    }
    VariantArray parameters = VariantArray::FromList({Variant(unit)});
    QImage picture = HostAccuracyPicture::Draw(
        m_accuracy, m_texts(QStringLiteral("1367::The monitor's error over its range"), nullptr),
        {m_texts(QStringLiteral("1368::Korotka reading (%%1)"), &parameters),
         // The report's caption is longer than the panel's picture is high.
         m_texts(QStringLiteral("1412::Difference (%%1)"), &parameters)},
        kAccuracySize);
    // A visit without static points has nothing to show here.
    m_lblAccuracy->setVisible(!picture.isNull());
    if (picture.isNull()) {
        m_lblAccuracy->setPixmap(QPixmap());
        return;
    }
    picture.setDevicePixelRatio(HostAccuracyPicture::kScale);
    m_lblAccuracy->setPixmap(QPixmap::fromImage(picture));
}

}  // namespace orvex
