// Appended to a copy of the fleet page by OrvexFleetPageTest, with `expected` set before it: drives
// the page as a person would and writes what it found into <pre id="verdict"> ("passed" or the faults).
(() => {
  const faults = [];
  const check = (ok, what) => { if (!ok) faults.push(what); };
  const same = (found, wanted, what) =>
    check(JSON.stringify(found) === JSON.stringify(wanted),
          `${what}: found ${JSON.stringify(found)}, expected ${JSON.stringify(wanted)}`);
  try {
    const table = document.getElementById('assets');
    const shown = () => Array.from(table.tBodies).filter((body) => !body.hidden).map((body) => body.rows[0]);
    const id = (row) => row.cells[0].textContent.replace('\u25B8', '');
    const byId = (wanted) => Array.from(table.tBodies).map((body) => body.rows[0]).find((row) => id(row) === wanted);
    // A trend's points: its circles, but the one marking where the line leaves the band.
    const dots = (svg) => Array.from(svg.querySelectorAll('circle:not(.leaves)'));
    const heading = (text) => Array.from(table.tHead.rows[0].cells).find((th) => th.textContent === text);

    // The rows hold what the database holds, in the order a morning needs.
    same(shown().map(id), expected.rows.map((row) => row.id), 'the rows');
    for (const wanted of expected.rows) {
      const row = byId(wanted.id);
      if (!row) continue;
      same([row.cells[4].textContent, row.cells[6].textContent, Number(row.cells[7].textContent)],
           [wanted.verdict, wanted.due, wanted.days], `${wanted.id}: verdict, due and days left`);
    }
    check(shown()[0].classList.contains('overdue'), 'the first row is not marked overdue');
    check(byId('MON-3').classList.contains('failed'), 'MON-3 is not marked failed');
    const eight = byId('MON-8');
    same(eight.cells[2].textContent, expected.location, 'a location with markup in it');
    check(table.querySelector('east') === null, 'a location became markup');

    // Sorting by days left: soonest first, then the other way.
    const byDays = expected.rows.slice().sort((a, b) => a.days - b.days).map((row) => row.id);
    heading('Days left').click();
    same(shown().map(id), byDays, 'after one click on Days left');
    heading('Days left').click();
    same(shown().map(id), byDays.slice().reverse(), 'after two clicks on Days left');

    // Typing in the filter leaves the matching rows alone; clearing it brings all back.
    const filter = document.getElementById('filter');
    filter.value = 'mon-3';
    filter.dispatchEvent(new Event('input'));
    same(shown().map(id), ['MON-3'], 'the rows shown for "mon-3"');
    filter.value = 'east> & "ANNEX';
    filter.dispatchEvent(new Event('input'));
    same(shown().map(id), ['MON-8'], 'the rows shown for a piece of the location');
    filter.value = '';
    filter.dispatchEvent(new Event('input'));
    same(shown().length, expected.rows.length, 'the rows shown after the filter is cleared');

    // Clicking an asset's row opens its detail: visits newest first, a trend of each reading, the
    // drifting one with its band, its line and the month it leaves the band, marked on the line.
    const seventeen = byId('MON-17');
    const detail = seventeen.nextElementSibling;
    check(detail.hidden, "MON-17's detail is open before it was clicked");
    seventeen.cells[2].click();
    check(!detail.hidden, "MON-17's detail does not open when its row is clicked");
    same(Array.from(detail.querySelectorAll('table.visits tbody tr')).map((row) => row.cells[0].textContent),
         ['2024-09-01T09:00:00Z', '2024-06-01T09:00:00Z', '2023-06-01T09:00:00Z', '2022-06-01T09:00:00Z',
          '2021-06-01T09:00:00Z'], "MON-17's visits");
    const figures = Array.from(detail.querySelectorAll('figure'));
    same(figures.map((figure) => figure.querySelector('figcaption').textContent),
         ['Static DIFF (mmHg)', 'Static RATE (mmHg/min)'], "MON-17's trends");
    const [diff, rate] = figures.map((figure) => figure.querySelector('svg'));
    if (diff && rate) {
      same([dots(diff).length, dots(rate).length], [4, 5], 'the points of DIFF and RATE');
      check(diff.querySelector('rect.band') && diff.querySelectorAll('line.edge').length === 2,
            'the DIFF trend has no band with two edges');
      const fit = diff.querySelector('line.fit');
      const mark = diff.querySelector('circle.leaves');
      check(fit && mark, 'the DIFF trend has no fitted line or no mark where it leaves the band');
      if (fit && mark) {
        const [x1, y1, x2, y2] = ['x1', 'y1', 'x2', 'y2'].map((name) => fit.getAttribute(name) * 1);
        const [cx, cy] = ['cx', 'cy'].map((name) => mark.getAttribute(name) * 1);
        // The mark lies on the line and on the high edge.
        check(Math.abs(y1 + (y2 - y1) * (cx - x1) / (x2 - x1) - cy) < 1, 'the mark is off the fitted line');
        const edges = Array.from(diff.querySelectorAll('line.edge')).map((edge) => edge.getAttribute('y1') * 1);
        check(Math.abs(Math.min(...edges) - cy) < 0.2, 'the mark is off the high edge');
        const points = dots(diff).map((point) => point.getAttribute('cx') * 1);
        check(cx > Math.max(...points), 'the mark is not after the newest point');
      }
      check((diff.querySelector('text.leaves') || {}).textContent === `leaves ${expected.leaves}`,
            'the picture does not say the month the line leaves the band');
      check(figures[0].textContent.includes(`outside ±3 mmHg by ${expected.leaves}`),
            'the DIFF trend does not say when it leaves the band');
      check(!rate.querySelector('line.fit'), 'the RATE trend, which does not drift, has a line');
    }

    // The disclosure opens too; a long history shows what a detail keeps and says what it left out.
    const forty = byId('MON-40');
    forty.querySelector('button').click();
    const fortyDetail = forty.nextElementSibling;
    check(!fortyDetail.hidden, "MON-40's detail does not open from its button");
    same(fortyDetail.querySelectorAll('table.visits tbody tr').length, 10, "MON-40's visits listed");
    check(fortyDetail.textContent.includes('The newest 10 of more than 50 visits'),
          "MON-40 does not say its visits' count");
    const fortyFigures = Array.from(fortyDetail.querySelectorAll('figure'));
    same(fortyFigures.map((figure) => dots(figure.querySelector('svg')).length), [50, 50],
         "MON-40's points drawn");
    check(fortyDetail.textContent.includes('Drawn from the newest 50 visits.'),
          "MON-40's trends do not say what they left out");
    same(fortyFigures.map((figure) => figure.querySelector('text.axis:not([text-anchor])').textContent),
         [expected.fortyFirstDrawn, expected.fortyFirstDrawn], "MON-40's oldest point drawn");
    forty.cells[1].click();
    check(fortyDetail.hidden, "MON-40's detail does not close when its row is clicked again");
  } catch (error) {
    faults.push(`the check stopped: ${error}`);
  }
  const verdict = document.createElement('pre');
  verdict.id = 'verdict';
  verdict.textContent = faults.length === 0 ? 'passed' : faults.join('\n');
  document.body.appendChild(verdict);
})();
