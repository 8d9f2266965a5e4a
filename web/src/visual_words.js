// The words of the visual screen's live curve, as the session reads it (the core gives the
// verdict and the numbers' texts with every curve): the note under the panel and d_max with
// its uncertainty, never "± 0.0".
import { tr } from './i18n.js';

// Whether the curve builds up to a maximum below the surface (the core tells with every
// curve): one that has its maximum at the surface has no d_max to show.
export function buildsUp(c) {
  return c.buildUp !== false;
}

// d_max as the session words its label: the value and its uncertainty (never "± 0.0").
export function dmaxWords(c) {
  if (c.sigmaText) return tr('Web', 'd_max = %1 ± %2 cm', c.dmaxText, c.sigmaText);
  return tr('Web', 'd_max = %1 cm (不確かさは光子が増えると表示)', c.dmaxText);
}

export function depthNote(c) {
  if (!c || !(c.photons > 0)) return tr('DepthDosePanel', '   Go で線量が積み上がります').trim();
  // The session's verdict: in a slab no d_max is read at any count, so its note comes first.
  if (c.slabNote)
    return [
      tr('DepthDosePanel', '光子 %1 個', c.photons),
      tr('DepthDosePanel', 'スラブでは d_max なし (境界の値はエンジン画面で)'),
    ]
      .map((p) => p.trim())
      .join(' — ');
  if (c.tooFewPhotons)
    return tr(
      'Web',
      '光子 %1 個では少なすぎて、ビルドアップも d_max もまだ読めません。Go で光子を加えて下さい。',
      c.photons,
    );
  if (!c.hasMaximum) return tr('DepthDosePanel', '光子 %1 個', c.photons).trim();
  const parts = [tr('DepthDosePanel', '光子 %1 個', c.photons), tr('DepthDosePanel', '   ビン %1 cm', c.binCm)];
  if (!buildsUp(c)) parts.push(tr('DepthDosePanel', '表面で最大: ビルドアップなし'));
  else parts.push(dmaxWords(c));
  if (c.noiseAtMax >= 0) parts.push(tr('DepthDosePanel', '   雑音 ±%1 %', (100 * c.noiseAtMax).toFixed(0)));
  return parts.map((p) => p.trim()).join('   ');
}
