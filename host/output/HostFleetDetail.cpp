#include "HostFleetDetail.h"

#include "host/archive/HostReadingTrend.h"

#include "host/output/HostFleetText.h"
#include "host/output/HostTrendSvg.h"

namespace orvex {

namespace {

QString Visits(const HostFleet::Detail& detail) {
    if (detail.visits.isEmpty()) return QStringLiteral("<p class=\"note\">No visits stored.</p>");
    QString rows;
    for (const auto& visit : detail.visits) {
        const QString& verdict = visit.record.verdict;
        rows += QStringLiteral("<tr><td>%1</td><td class=\"%2\">%3</td><td>%4</td></tr>")
                    .arg(visit.record.performed.isEmpty() ? QStringLiteral("no time")
                                                          : visit.record.performed.toHtmlEscaped(),
                         verdict == QLatin1String("FAILED") ? QStringLiteral("verdict failed")
                                                            : QStringLiteral("verdict"),
                         verdict.toHtmlEscaped(), HostFleetText::Seal(visit));
    }
    const QString count =
        detail.count > detail.visits.size()
            ? detail.count > HostReadingTrend::kSearched
                  ? QStringLiteral("The newest %1 of more than %2 visits (orvex history lists them).")
                        .arg(detail.visits.size())
                        .arg(HostReadingTrend::kSearched)
                  : QStringLiteral("The newest %1 of %2 visits.").arg(detail.visits.size()).arg(detail.count)
            : QStringLiteral("%1 %2.")
                  .arg(detail.count)
                  .arg(detail.count == 1 ? QStringLiteral("visit") : QStringLiteral("visits"));
    return QStringLiteral(
               "<table class=\"visits\"><thead><tr><th>Visit performed</th><th>Verdict</th><th>Seal</th></tr>"
               "</thead><tbody>%1</tbody></table><p class=\"note\">%2</p>")
        .arg(rows, count);
}

QString Figure(const HostFleet::Trend& trend) {
    const auto& reading = trend.reading;
    QString caption = reading.testName + QLatin1Char(' ') + reading.key;
    if (!reading.unit.isEmpty()) caption += QStringLiteral(" (%1)").arg(reading.unit);
    QString said;
    if (trend.line) {
        said = QStringLiteral("%1; a line through %2 points, R² %3.")
                   .arg(HostFleetText::Drift(*trend.line, trend.band, reading.unit),
                        trend.line->points < trend.points.size()
                            ? QStringLiteral("the newest %1").arg(trend.line->points)
                            : QString::number(trend.line->points),
                        QString::number(trend.line->fit, 'f', 2));
    } else {
        said = QStringLiteral("No drift towards a limit to tell.");
    }
    return QStringLiteral("<figure><figcaption%1>%2</figcaption>%3<p class=\"note\">%4</p></figure>")
        .arg(reading.description.isEmpty()
                 ? QString()
                 : QStringLiteral(" title=\"%1\"").arg(reading.description.toHtmlEscaped()),
             caption.toHtmlEscaped(), HostTrendSvg::Svg(trend), said.toHtmlEscaped());
}

}  // namespace

QString HostFleetDetail::Html(const HostFleet::Detail& detail) {
    QString figures;
    for (const auto& trend : detail.trends) figures += Figure(trend);
    if (figures.isEmpty())
        figures = QStringLiteral("<p class=\"note\">No reading judged against a limit in two visits.</p>");
    const QString searched = !detail.trends.isEmpty() && detail.count > HostReadingTrend::kSearched
                                 ? QStringLiteral("<p class=\"note\">Drawn from the newest %1 visits.</p>")
                                       .arg(HostReadingTrend::kSearched)
                                 : QString();
    return QStringLiteral(
               "<div class=\"detail\"><section class=\"visits\"><h2>Recent visits</h2>%1</section>"
               "<section class=\"trends\"><h2>Trends</h2><div class=\"figures\">%2</div>%3</section></div>")
        .arg(Visits(detail), figures, searched);
}

QString HostFleetDetail::Style() {
    return QStringLiteral(R"(
tr.detail > td { background: #f7f7f4; white-space: normal; padding: 0.6em 1em 0.8em; }
div.detail { display: flex; flex-wrap: wrap; gap: 1.5em; align-items: flex-start; }
div.detail h2 { font-size: 1em; margin: 0 0 0.4em; }
div.figures { display: flex; flex-wrap: wrap; gap: 1em; }
figure { margin: 0; width: 400px; }
figcaption { font-weight: bold; font-size: 0.9em; }
p.note { margin: 0.3em 0 0; font-size: 0.85em; color: #555; }
table.visits th { cursor: default; }
table.visits td, table.visits th { padding: 0.1em 0.5em; font-size: 0.9em; background: #fff; }
td.verdict.failed { color: #b00; font-weight: bold; }
svg.trend { display: block; background: #fff; }
svg.trend .frame { fill: none; stroke: #999; }
svg.trend .band { fill: #e2f0e2; }
svg.trend .edge { stroke: #6a6; stroke-dasharray: 4 3; }
svg.trend .path { fill: none; stroke: #aaa; }
svg.trend circle { fill: #246; }
svg.trend circle.out { fill: #c00; }
svg.trend .fit { stroke: #d60; stroke-width: 1.5; }
svg.trend line.leaves { stroke: #d60; stroke-dasharray: 2 2; }
svg.trend circle.leaves { fill: none; stroke: #d60; stroke-width: 1.5; }
svg.trend text { font-size: 10px; fill: #444; }
svg.trend text.leaves { fill: #a40; font-weight: bold; }
)");
}

}  // namespace orvex
