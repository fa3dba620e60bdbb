#include "HostFleetPage.h"

#include <QHash>
#include <algorithm>

#include "host/output/HostFleetDetail.h"
#include "host/output/HostFleetText.h"

namespace orvex {

namespace {

QString Cell(const QString& text, const QString& sortAs = {}) {
    return QStringLiteral("<td data-sort=\"%1\">%2</td>")
        .arg((sortAs.isNull() ? text : sortAs).toHtmlEscaped(), text.toHtmlEscaped());
}

QStringList Escaped(QStringList texts) {
    for (QString& text : texts) text = text.toHtmlEscaped();
    return texts;
}

// Overdue or never completed, then failed, then the rest; each by due date.
int Urgency(const HostFleet::DueAsset& asset) {
    if (!asset.next || asset.daysLeft < 0) return 0;
    return asset.due.last.record.verdict == QLatin1String("FAILED") ? 1 : 2;
}

// Click a heading to sort by it (again: the other way); type to show only the assets whose row holds
// the text; click an asset's row to open or close its detail. Each asset is a tbody of its row and its
// detail, so both move and hide together.
const char* const kScript = R"(
const table = document.getElementById('assets');
document.getElementById('filter').addEventListener('input', (e) => {
  const words = e.target.value.toLowerCase();
  for (const body of table.tBodies)
    body.hidden = words !== '' && !body.rows[0].textContent.toLowerCase().includes(words);
});
table.tHead.querySelectorAll('th').forEach((th, column) => th.addEventListener('click', () => {
  const up = th.dataset.up !== '1';
  th.dataset.up = up ? '1' : '0';
  const bodies = Array.from(table.tBodies);
  const key = (body) => body.rows[0].cells[column].dataset.sort;
  const numeric = th.dataset.type === 'number';
  bodies.sort((a, b) => {
    const x = key(a), y = key(b);
    const order = numeric ? Number(x) - Number(y) : x.localeCompare(y);
    return up ? order : -order;
  });
  bodies.forEach((body) => table.appendChild(body));
}));
table.addEventListener('click', (e) => {
  const row = e.target.closest('#assets > tbody > tr:first-child');
  if (!row || !row.nextElementSibling) return;
  const detail = row.nextElementSibling;
  detail.hidden = !detail.hidden;
  row.classList.toggle('open', !detail.hidden);
  row.querySelector('button.toggle').setAttribute('aria-expanded', String(!detail.hidden));
});
)";

const char* const kStyle = R"(
body { font-family: sans-serif; margin: 1em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
#assets > thead th { cursor: pointer; background: #eee; }
#assets > tbody > tr:first-child { cursor: pointer; }
tr.overdue td { background: #fdd; }
tr.failed td { background: #fed; }
td { white-space: nowrap; }
td.drift { color: #a40; white-space: normal; }
button.toggle { border: none; background: none; padding: 0 0.4em 0 0; cursor: pointer; font: inherit; }
tr.open button.toggle { display: inline-block; transform: rotate(90deg); }
)";

}  // namespace

QString HostFleetPage::Html(const QList<HostFleet::DueAsset>& assets,
                            const QList<HostFleet::Drifting>& drifting,
                            const QHash<QString, HostFleet::Detail>& details, const QDateTime& made,
                            const QString& location) {
    QHash<QString, QStringList> warnings;
    for (const auto& reading : drifting)
        warnings[reading.reading.assetId]
            << QStringLiteral("%1 %2: %3")
                   .arg(reading.reading.testName, reading.reading.key,
                        HostFleetText::Drift(reading.line, reading.band, reading.reading.unit));
    QList<HostFleet::DueAsset> ordered = assets;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return Urgency(a) < Urgency(b); });
    QString rows;
    for (const auto& asset : ordered) {
        const auto& record = asset.due.last.record;
        const int urgency = Urgency(asset);
        rows += urgency == 0   ? QStringLiteral("<tbody><tr class=\"overdue\">")
                : urgency == 1 ? QStringLiteral("<tbody><tr class=\"failed\">")
                               : QStringLiteral("<tbody><tr>");
        rows += QStringLiteral(
                    "<td data-sort=\"%1\"><button type=\"button\" class=\"toggle\" aria-expanded=\"false\" "
                    "title=\"Recent visits and trends\">\u25B8</button>%1</td>")
                    .arg(asset.due.assetId.toHtmlEscaped()) +
                Cell(record.assetMakeModel) + Cell(record.assetLocation);
        if (asset.next) {
            rows += Cell(record.performed) + Cell(record.verdict) +
                    Cell(HostFleetText::Seal(asset.due.last)) + Cell(asset.next->toString(Qt::ISODate)) +
                    Cell(QString::number(asset.daysLeft), QString::number(asset.daysLeft));
        } else {
            rows += Cell(QStringLiteral("never completed"), QString()) + Cell({}) + Cell({}) +
                    Cell(QStringLiteral("now"), QString()) + Cell({}, QStringLiteral("-1e9"));
        }
        rows += QStringLiteral("<td class=\"drift\" data-sort=\"%1\">%2</td></tr>\n")
                    .arg(warnings.value(asset.due.assetId).size())
                    .arg(Escaped(warnings.value(asset.due.assetId)).join(QStringLiteral("<br>")));
        rows += QStringLiteral("<tr class=\"detail\" hidden><td colspan=\"9\">%1</td></tr></tbody>\n")
                    .arg(HostFleetDetail::Html(details.value(asset.due.assetId)));
    }
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Assets: due and drifting</title>"
               "<style>%1</style></head><body>\n<h1>Assets: due and drifting</h1>\n<p>From %2, %3. Overdue "
               "and failed first; click a heading to sort, an asset for its recent visits and "
               "trends.</p>\n<p><input id=\"filter\" type=\"search\" "
               "placeholder=\"Show only rows with...\"></p>\n<table id=\"assets\"><thead><tr><th>Asset</th>"
               "<th>Make and model</th><th>Location</th><th>Last complete "
               "visit</th><th>Verdict</th><th>Seal</th>"
               "<th>Due</th><th data-type=\"number\">Days left</th><th data-type=\"number\">Drift</th></tr>"
               "</thead>\n%4</table>\n<script>%5</script></body></html>\n")
        .arg(QString::fromUtf8(kStyle) + HostFleetDetail::Style(), location.toHtmlEscaped(),
             made.toUTC().toString(Qt::ISODate), rows, QString::fromUtf8(kScript));
}

}  // namespace orvex
