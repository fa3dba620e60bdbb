#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>

#include "host/archive/HostReadingTrend.h"
#include "host/archive/HostResultsDatabase.h"
#include "host/output/HostAccuracyPicture.h"
#include "host/platform/HostExport.h"

class QComboBox;
class QLabel;
class QTimer;
class QTreeWidget;

namespace orvex {

class VariantArray;

// The asset's history in the main window's side panel: its stored visits, newest first (when,
// who, verdict, and whether a visit was altered after it was stored), and the trend of one
// reading over its last visits with the limit band, and the static accuracy of its last visits
// (the monitor's difference at each reference pressure against the band). Read from the results
// database when shown.
class ORVEX_HOST_EXPORT HostHistoryPanel : public QWidget {
    Q_OBJECT

public:
    // The window's translation of one of its literals.
    using Texts = std::function<QString(const QString& literal, const VariantArray* parameters)>;

    HostHistoryPanel(Texts texts, QWidget* parent = nullptr);

    // The database the history is read from (empty: the default one).
    void SetDatabase(const QString& url);
    // The asset whose visits are shown; read again when it is another (a moment after the last
    // change when in view, else when shown).
    void ShowAsset(const QString& assetId);
    // Reads the visits again, as ShowAsset does: a visit was stored.
    void Reload();
    // Shows the trend of the first reading of that test, when the history has one.
    void SelectTest(int testId, int position);

    // What the panel shows, for those who check it.
    qsizetype VisitCount() const { return m_visits.size(); }
    QString Status() const;
    QList<double> TrendShown() const;
    // The sentence under the trend on where its line leads; empty when there is none to say.
    QString DriftShown() const;
    // The visits whose static points are drawn, oldest first.
    const QList<HostAccuracyPicture::Series>& AccuracyShown() const { return m_accuracy; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Read();
    void ShowTrend();
    void ShowAccuracy();
    // The newest visit that has the reading judged it against a limit.
    bool Judged(const HostReadingTrend::Reading& reading) const;

    Texts m_texts;
    QString m_database;
    QString m_assetId;
    // The visits shown are not those of the asset and database now named.
    bool m_stale = true;
    QList<HostResultsDatabase::Visit> m_visits;
    QList<HostReadingTrend::Reading> m_readings;
    QList<HostAccuracyPicture::Series> m_accuracy;

    QLabel* m_lblStatus = nullptr;
    QTreeWidget* m_lstVisits = nullptr;
    QLabel* m_lblReading = nullptr;
    QComboBox* m_cboReading = nullptr;
    QLabel* m_lblTrend = nullptr;
    QLabel* m_lblDrift = nullptr;
    QLabel* m_lblAccuracy = nullptr;
    QTimer* m_reading = nullptr;
};

}  // namespace orvex
