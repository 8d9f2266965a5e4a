<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CurveSetLegend</name>
    <message>
        <source>エネルギー, 照射野, ファイル</source>
        <translation>Energy, field, file</translation>
    </message>
    <message>
        <source>表面 0–1 mm [%]</source>
        <translation>Surface 0–1 mm [%]</translation>
    </message>
    <message>
        <source>最初のビン（0–1 mm）の線量 / D(d_max)</source>
        <translation>Dose in the first bin (0–1 mm) / D(d_max)</translation>
    </message>
    <message>
        <source>深さ 10 cm の線量（±1 cm の対数直線フィット）/ D(d_max)</source>
        <translation>Dose at 10 cm depth (log-linear fit over ±1 cm) / D(d_max)</translation>
    </message>
    <message>
        <source>10 × 10 cm の D(20)/D(10)（平行ビーム）</source>
        <translation>D(20)/D(10) of the 10 × 10 cm field (parallel beam)</translation>
    </message>
    <message>
        <source>水吸収線量の最大深：0–12 cm のビルドアップと減衰のモデルのフィット。± は統計雑音による標準不確かさ</source>
        <translation>Depth of the water dose maximum: the build-up and fall-off model fitted over 0–12 cm. ± is the standard uncertainty from the statistical noise</translation>
    </message>
    <message>
        <source>* 推定: 計算の統計ファイル (.stat) がなく、曲線の雑音から見積もった不確かさ</source>
        <translation>* estimated from the curve's own noise: the run has no statistics file (.stat)</translation>
    </message>
    <message>
        <source>* 推定: 点線源の ± は平行ビームの統計と曲線の雑音の大きい方</source>
        <translation>* estimated: a point source&apos;s ± from the parallel beam&apos;s statistics or its curve</translation>
    </message>
</context>
<context>
    <name>DepthDosePanel</name>
    <message>
        <source>この曲線を残す</source>
        <translation>Keep this curve</translation>
    </message>
    <message>
        <source>残した曲線: %1</source>
        <translation>Kept curve: %1</translation>
    </message>
    <message>
        <source>切替前: すべての物理</source>
        <translation>before the switch: full physics</translation>
    </message>
    <message>
        <source>切替前: 精密な電子輸送</source>
        <translation>before the switch: accurate electron transport</translation>
    </message>
    <message>
        <source>切替前: %1 なし</source>
        <translation>before the switch: without %1</translation>
    </message>
    <message>
        <source>深部線量</source>
        <translation>Depth dose</translation>
    </message>
    <message>
        <source>吸収線量</source>
        <translation>Total dose</translation>
    </message>
    <message>
        <source>一次線量</source>
        <translation>Primary dose</translation>
    </message>
    <message>
        <source>一次光子の衝突カーマ</source>
        <translation>Primary kerma</translation>
    </message>
    <message>
        <source>光子 %1 個</source>
        <translation>%1 photons</translation>
    </message>
    <message>
        <source>   ビン %1 cm</source>
        <translation>   bin %1 cm</translation>
    </message>
    <message>
        <source>   Go で線量が積み上がります</source>
        <translation>   Go adds up the dose</translation>
    </message>
    <message>
        <source>深部線量 (中心の半径 %1 cm の円柱)</source>
        <translation>Depth dose (central cylinder of radius %1 cm)</translation>
    </message>
    <message>
        <source>   雑音 ±%1 %</source>
        <translation>   noise ±%1 %</translation>
    </message>
    <message>
        <source>  (まだ不確か)</source>
        <translation>  (not yet sure)</translation>
    </message>
    <message>
        <source>d_max: 光子が少なすぎてまだ読めない</source>
        <translation>d_max: too few photons to read yet</translation>
    </message>
    <message>
        <source>表面で最大: ビルドアップなし</source>
        <translation>maximum at the surface: no build-up</translation>
    </message>
    <message>
        <source>スラブでは d_max なし (境界の値はエンジン画面で)</source>
        <translation>no d_max in a slab (interface values: engine screen)</translation>
    </message>
</context>
<context>
    <name>EngineConsole</name>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>前の計算がまだ終わっていません</source>
        <translation>The previous calculation has not finished yet</translation>
    </message>
    <message>
        <source>%1 を起動できませんでした：%2</source>
        <translation>Could not start %1: %2</translation>
    </message>
    <message>
        <source>計算終了：%1（閉じると終わります）</source>
        <translation>Finished: %1 (closing ends the engine)</translation>
    </message>
    <message>
        <source>計算できませんでした（閉じると終わります）</source>
        <translation>The calculation failed (closing ends the engine)</translation>
    </message>
    <message>
        <source>中止しました</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>計算終了：%1</source>
        <translation>Finished: %1</translation>
    </message>
    <message>
        <source>計算が途中で終わりました</source>
        <translation>The calculation ended before completion</translation>
    </message>
    <message>
        <source>中止しています…</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>計算中です。中止して閉じますか？</source>
        <translation>A calculation is running. Stop it and close?</translation>
    </message>
    <message>
        <source>Kestrun が計算中です。計算を中止して終了しますか？</source>
        <translation>Kestrun is calculating. Stop the calculation and quit?</translation>
    </message>
    <message>
        <source>計算中：%1（並列計算、%2 コア）</source>
        <translation>Calculating: %1 (parallel, %2 cores)</translation>
    </message>
    <message>
        <source>計算中：%1（1 コア、単一乱数列）</source>
        <translation>Calculating: %1 (1 core, single random stream)</translation>
    </message>
</context>
<context>
    <name>Figures</name>
    <message>
        <source>肺</source>
        <translation>Lung</translation>
    </message>
    <message>
        <source>骨</source>
        <translation>Bone</translation>
    </message>
    <message>
        <source>空気</source>
        <translation>Air</translation>
    </message>
    <message>
        <source>ボーラス</source>
        <translation>Bolus</translation>
    </message>
    <message>
        <source>肺スラブ</source>
        <translation>Lung slab</translation>
    </message>
    <message>
        <source>骨スラブ</source>
        <translation>Bone slab</translation>
    </message>
    <message>
        <source>空気層</source>
        <translation>Air gap</translation>
    </message>
    <message>
        <source>表面からの深さ (cm)</source>
        <translation>Depth from the surface (cm)</translation>
    </message>
    <message>
        <source>（0～5 cm の一次線水カーマ最大値 = 1）</source>
        <translation>(its primary water kerma maximum in 0-5 cm = 1)</translation>
    </message>
    <message>
        <source>（点線源 SSD %1 cm への近似換算、表面で平行ビームの 0～5 cm の一次線水カーマ最大値 = 1）</source>
        <translation>(approximated for a point source at SSD %1 cm; the parallel beam's primary water kerma maximum in 0-5 cm = 1 at the surface)</translation>
    </message>
    <message>
        <source>点線源 SSD %1 cm（近似）</source>
        <translation>point source, SSD %1 cm (approx.)</translation>
    </message>
    <message>
        <source>平行ビーム</source>
        <translation>parallel beam</translation>
    </message>
    <message>
        <source>一次線水カーマ</source>
        <translation>Primary water kerma</translation>
    </message>
    <message>
        <source>水吸収線量</source>
        <translation>Total dose</translation>
    </message>
    <message>
        <source>一次線線量</source>
        <translation>Primary dose</translation>
    </message>
    <message>
        <source>散乱線線量</source>
        <translation>Scatter dose</translation>
    </message>
    <message>
        <source>深さ [cm]</source>
        <translation>Depth [cm]</translation>
    </message>
    <message>
        <source>深部線量データがありません</source>
        <translation>No depth-dose data</translation>
    </message>
    <message>
        <source>水中の深さ (cm)</source>
        <translation>Depth in water (cm)</translation>
    </message>
    <message>
        <source>ビルドアップ領域</source>
        <translation>Build-up region</translation>
    </message>
    <message>
        <source>相対線量 (%)</source>
        <translation>Relative dose (%)</translation>
    </message>
    <message>
        <source>１次カーマ</source>
        <translation>Primary kerma</translation>
    </message>
    <message>
        <source>出口</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>照射野 </source>
        <translation>Field </translation>
    </message>
    <message>
        <source>線束中心軸上の深部線量プロファイル（表面の一次線水カーマ（当てはめ値）= 1）</source>
        <translation>Central-axis depth dose (1 = primary water kerma at the surface, fitted)</translation>
    </message>
    <message>
        <source>光子エネルギー (MeV)</source>
        <translation>Photon energy (MeV)</translation>
    </message>
    <message>
        <source>相対光子数</source>
        <translation>Relative number of photons</translation>
    </message>
    <message>
        <source>読み込めないスペクトルファイル:
</source>
        <translation>Spectrum files that cannot be read:
</translation>
    </message>
    <message>
        <source>水</source>
        <translation>Water</translation>
    </message>
    <message>
        <source>深部線量</source>
        <translation>Depth dose</translation>
    </message>
    <message>
        <source>表面</source>
        <translation>Surface</translation>
    </message>
    <message>
        <source>深さ →</source>
        <translation>Depth →</translation>
    </message>
    <message>
        <source>２次電子の飛跡</source>
        <translation>Electron tracks</translation>
    </message>
    <message>
        <source>深さ</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>Ｘ線</source>
        <translation>X-rays</translation>
    </message>
    <message>
        <source>カーマ →</source>
        <translation>Kerma →</translation>
    </message>
    <message>
        <source>２次電子</source>
        <translation>Electrons</translation>
    </message>
    <message>
        <source>飛程 %1 体積、各体積に %2 ずつ</source>
        <translation>Range %1, %2 to each</translation>
    </message>
    <message>
        <source>吸収線量</source>
        <translation>Dose</translation>
    </message>
    <message>
        <source>深さ（単位体積の番号）</source>
        <translation>Depth (volume number)</translation>
    </message>
    <message>
        <source>カーマ・吸収線量</source>
        <translation>Kerma, absorbed dose</translation>
    </message>
    <message>
        <source>１次線量</source>
        <translation>Primary dose</translation>
    </message>
    <message>
        <source>カーマ</source>
        <translation>Kerma</translation>
    </message>
    <message>
        <source>過渡平衡</source>
        <translation>Transient eq.</translation>
    </message>
    <message>
        <source>線量 = カーマ</source>
        <translation>Dose = kerma</translation>
    </message>
    <message>
        <source>２次電子平衡</source>
        <translation>Equilibrium</translation>
    </message>
    <message>
        <source>← 各体積の１次カーマ</source>
        <translation>← Primary kerma</translation>
    </message>
    <message>
        <source>← 中央の体積から出る
&#x3000; ２次電子の行き先</source>
        <translation>← Reach of electrons
    from the centre</translation>
    </message>
    <message>
        <source>照射野%1 (%2 個)：線量 %3</source>
        <translation>Field %1 (%2 volumes): dose %3</translation>
    </message>
    <message>
        <source>照射野%1 (1 個)：線量 %2</source>
        <translation>Field %1 (1 volume): dose %2</translation>
    </message>
    <message>
        <source>一次線水カーマ：</source>
        <translation>Primary water kerma: </translation>
    </message>
    <message>
        <source>各組のファイルのもの（組の色の濃い線）</source>
        <translation>each set&apos;s own file (the darker line of its colours)</translation>
    </message>
    <message>
        <source>、黒：%1</source>
        <translation>; black: %1</translation>
    </message>
</context>
<context>
    <name>LessonPage</name>
    <message>
        <source>授業案</source>
        <translation>Lessons</translation>
    </message>
    <message>
        <source>ビルドアップ</source>
        <translation>Build-up</translation>
    </message>
    <message>
        <source>境界：肺・空気・骨・ボーラス</source>
        <translation>Interfaces: lung, air, bone, bolus</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>MenuWindow</name>
    <message>
        <source>授業案</source>
        <translation>Lessons</translation>
    </message>
    <message>
        <source>高エネルギーＸ線照射における</source>
        <translation>Absorbed-dose build-up</translation>
    </message>
    <message>
        <source>吸収線量ビルドアップ現象</source>
        <translation>in high-energy X-ray beams</translation>
    </message>
    <message>
        <source>線束方向および側方向の</source>
        <translation>Longitudinal and lateral</translation>
    </message>
    <message>
        <source>２次電子 (過渡) 平衡</source>
        <translation>electronic equilibrium</translation>
    </message>
    <message>
        <source>モンテカルロシミュレーション</source>
        <translation>Monte Carlo simulation</translation>
    </message>
    <message>
        <source>解 説</source>
        <translation>Explanation</translation>
    </message>
    <message>
        <source>Dosavia %1
データ %2</source>
        <translation>Dosavia %1
Data %2</translation>
    </message>
    <message>
        <source>物理データファイルを読み込めません。</source>
        <translation>Cannot read the physics data file.</translation>
    </message>
</context>
<context>
    <name>VisualScreen</name>
    <message>
        <source>乱数の種</source>
        <translation>seed</translation>
    </message>
    <message>
        <source>物理を切る実験</source>
        <translation>Switch physics off</translation>
    </message>
    <message>
        <source>(4〜15 MV では効果わずか)</source>
        <translation>(slight at 4–15 MV)</translation>
    </message>
    <message>
        <source>切り替えると Graph clear し、直前の曲線を薄く残します。コヒーレント散乱と電子対生成は 4〜15 MV ではほとんど変わりません。</source>
        <translation>A switch clears the graph and keeps the last curve faintly for comparison. Coherent scattering and pair production change little at 4–15 MV.</translation>
    </message>
    <message>
        <source>%1 分</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 時間</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source> 入射光子数を再入力して下さい </source>
        <translation> Please enter the number of incident photons again </translation>
    </message>
    <message>
        <source>高エネルギーＸ線照射における</source>
        <translation>Absorbed-dose (electron) build-up</translation>
    </message>
    <message>
        <source>吸収線量（電子）ビルドアップ現象</source>
        <translation>in high-energy X-ray beams</translation>
    </message>
    <message>
        <source>モンテカルロ ビジュアル シミュレーション</source>
        <translation>Visual Monte Carlo simulation</translation>
    </message>
    <message>
        <source>Ｘ線エネルギー</source>
        <translation>X-ray energy</translation>
    </message>
    <message>
        <source>Ｘ線スペクトル</source>
        <translation>X-ray spectra</translation>
    </message>
    <message>
        <source>平行ビーム入射とする</source>
        <translation>Parallel beam incidence</translation>
    </message>
    <message>
        <source>ファントム</source>
        <translation>Phantom</translation>
    </message>
    <message>
        <source>ファントム %1 を使えません</source>
        <translation>The phantom %1 cannot be used</translation>
    </message>
    <message>
        <source>照射野サイズ</source>
        <translation>Field size</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>2×</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>size</translation>
    </message>
    <message>
        <source>総入射光子数</source>
        <translation>All photons</translation>
    </message>
    <message>
        <source>     入射光子数／</source>
        <translation>     Photons per</translation>
    </message>
    <message>
        <source>個別表示(低速)</source>
        <translation>Steps (slow)</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>再開</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>1 光子進める</source>
        <translation>Step 1 photon</translation>
    </message>
    <message>
        <source>実行中の Go を一時停止 / 再開 (P)</source>
        <translation>Pauses / resumes the running batch (P)</translation>
    </message>
    <message>
        <source>光子を 1 個だけ進めて描く (一時停止中、または止まっている時) (N)</source>
        <translation>Runs and draws one photon (while paused, or between batches) (N)</translation>
    </message>
    <message>
        <source>入射エネルギー</source>
        <translation>Photon energy</translation>
    </message>
    <message>
        <source>メニューへ戻る</source>
        <translation>Back to the menu</translation>
    </message>
    <message>
        <source>深部線量を表示</source>
        <translation>Depth dose</translation>
    </message>
    <message>
        <source>速さ</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>個別表示の速さ (1 秒に 1 光子 〜 最高)</source>
        <translation>Speed of the step display (1 photon a second to fastest)</translation>
    </message>
    <message>
        <source>ドラッグして長さを測る (クリックで消す)</source>
        <translation>Drag to measure a length (a click removes it)</translation>
    </message>
    <message>
        <source>%1 光子/秒</source>
        <translation>%1 photons/s</translation>
    </message>
    <message>
        <source>最高</source>
        <translation>Fastest</translation>
    </message>
    <message>
        <source>2次電子(陰電子, 陽電子) の飛跡</source>
        <translation>Secondary e−/e+ tracks</translation>
    </message>
    <message>
        <source>（光子の飛跡は非表示）</source>
        <translation>(photons not shown)</translation>
    </message>
    <message>
        <source>デルタ線の飛跡</source>
        <translation>delta rays</translation>
    </message>
    <message>
        <source>黒 = 最新の光子</source>
        <translation>black = newest photon</translation>
    </message>
    <message>
        <source>古い飛跡を薄く</source>
        <translation>Fade older tracks</translation>
    </message>
    <message>
        <source>制動放射光子の飛跡</source>
        <translation>bremsstrahlung photons</translation>
    </message>
    <message>
        <source>精密な電子輸送（デルタ線と制動放射光子を描く）</source>
        <translation>Accurate electron transport</translation>
    </message>
    <message>
        <source>電子と陽電子を精密な輸送（ELACC.dat）で追跡します。デルタ線と制動放射光子が自分の飛跡になり、10〜15 MV のビルドアップが正確になります。切り替えると Graph clear します</source>
        <translation>Follows electrons and positrons by the accurate transport (ELACC.dat): delta rays and bremsstrahlung photons get tracks of their own, and the build-up at 10 to 15 MV comes out right. Switching clears the graph</translation>
    </message>
    <message>
        <source>%1 を読み込めません</source>
        <translation>%1 cannot be read</translation>
    </message>
    <message>
        <source>入射光子スペクトル</source>
        <translation>Incident photon spectrum</translation>
    </message>
    <message>
        <source> 照射野サイズ「%1」は選べません。
 1×1, 2×2, 3×3, 4×4, 5×5, 6×6, 8×8, 10×10 から選んで下さい </source>
        <translation> The field size &quot;%1&quot; cannot be chosen.
 Please choose 1×1, 2×2, 3×3, 4×4, 5×5, 6×6, 8×8 or 10×10 </translation>
    </message>
    <message>
        <source>スペクトルファイル %1 を読み込めません。</source>
        <translation>Cannot read the spectrum file %1.</translation>
    </message>
    <message>
        <source> 入射光子数 %1 の計算には約 %2 かかります。
 途中で止めるには Stop を押して下さい。実行しますか？ </source>
        <translation> Simulating %1 incident photons takes about %2.
 Press Stop to end it early. Run it? </translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source> 乱数の種「%1」は 0 から %2 までの整数で入れて下さい </source>
        <translation> Enter the seed "%1" as a whole number from 0 to %2 </translation>
    </message>
</context>
<context>
    <name>SpectrumPage</name>
    <message>
        <source>&#x3000;高エネルギーＸ線スペクトル</source>
        <translation> High-energy X-ray spectra</translation>
    </message>
    <message>
        <source>シミュレーションで用いた高エネルギーＸ線スペクトル</source>
        <translation>High-energy X-ray spectra used in the simulation</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>EngineScreen</name>
    <message>
        <source>描いてある曲線はそのままです。一覧から別のファイルを選ぶか、同じ条件で OK とシミュレーション開始をもう一度押して計算し直して下さい。</source>
        <translation>The curves drawn stay as they are. Choose another file from the list, or press OK and Start again with the same conditions to run it again.</translation>
    </message>
    <message>
        <source>作業フォルダ（左下のリンクで開けます）に書き込めるか、ディスクに空きがあるかを確かめて下さい。書き込めない場合は、書き込めるフォルダで Dosavia を起動し直すと、そこが作業フォルダになります。</source>
        <translation>Check that the working folder (the link at the lower left opens it) can be written and that the disk has room. Where it cannot be written, start Dosavia again in a folder that can: that folder becomes the working folder.</translation>
    </message>
    <message>
        <source>乱数の種</source>
        <translation>Seed</translation>
    </message>
    <message>
        <source>物理を切る実験</source>
        <translation>Switch physics off</translation>
    </message>
    <message>
        <source>チェックした物理を切って Kestrun を実行します（--without）。結果ファイルの名前に印が付きます</source>
        <translation>Kestrun runs without the ticked physics (--without); the result file&apos;s name gets a tag</translation>
    </message>
    <message>
        <source>入射光子数「%1」は使えません：
%2</source>
        <translation>The photon count &quot;%1&quot; cannot be used:
%2</translation>
    </message>
    <message>
        <source>&#x3000;シミュレーションが終了していません&#x3000;</source>
        <translation> The simulation has not finished </translation>
    </message>
    <message>
        <source>  結果ファイルを選択して下さい </source>
        <translation>  Please select a result file </translation>
    </message>
    <message>
        <source>線束中心軸上の深部線量分布を求めるシミュレーション</source>
        <translation>Simulation of the depth dose on the central axis</translation>
    </message>
    <message>
        <source>新規計算</source>
        <translation>New run</translation>
    </message>
    <message>
        <source>Ｘ線エネルギー</source>
        <translation>X-ray energy</translation>
    </message>
    <message>
        <source>平行ビーム入射とする</source>
        <translation>Parallel beam incidence</translation>
    </message>
    <message>
        <source>照射野サイズ</source>
        <translation>Field size</translation>
    </message>
    <message>
        <source>1×1～15×15</source>
        <translation>1×1 to 15×15</translation>
    </message>
    <message>
        <source>（ペンシルビーム重ね合わせ法で計算）</source>
        <translation>(by pencil-beam superposition)</translation>
    </message>
    <message>
        <source>ファントム</source>
        <translation>Phantom</translation>
    </message>
    <message>
        <source>水の代わりに層のあるファントムで計算します（--phantom Phantom.dat、精密な電子輸送）。結果ファイルの名前に印が付きます</source>
        <translation>Runs a phantom of layers instead of water (--phantom Phantom.dat, accurate electron transport). The result file&apos;s name carries its mark</translation>
    </message>
    <message>
        <source>層を編集…</source>
        <translation>Edit layers…</translation>
    </message>
    <message>
        <source>ファントムの層</source>
        <translation>Phantom layers</translation>
    </message>
    <message>
        <source>表面から順に物質と厚さ [cm]。最後の層より深いところは水（30 cm まで）</source>
        <translation>Material and thickness [cm] from the surface down; below the last layer, water to 30 cm</translation>
    </message>
    <message>
        <source>物質</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>厚さ [cm]</source>
        <translation>Thickness [cm]</translation>
    </message>
    <message>
        <source>行を追加</source>
        <translation>Add row</translation>
    </message>
    <message>
        <source>行を削除</source>
        <translation>Remove row</translation>
    </message>
    <message>
        <source>入射光子数</source>
        <translation>Photons</translation>
    </message>
    <message>
        <source>結果ファイル</source>
        <translation>Result file</translation>
    </message>
    <message>
        <source>シミュレーション開始</source>
        <translation>Start simulation</translation>
    </message>
    <message>
        <source>計算結果読み込み</source>
        <translation>Read results</translation>
    </message>
    <message>
        <source>一次線水カーマ 再描画</source>
        <translation>Redraw primary kerma</translation>
    </message>
    <message>
        <source>既存データ</source>
        <translation>Saved data</translation>
    </message>
    <message>
        <source>読み込み</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>描 画</source>
        <translation>Draw</translation>
    </message>
    <message>
        <source>線束中心軸上の深部線量プロファイル（表面の一次線水カーマ（当てはめ値）= 1）</source>
        <translation>Central-axis depth dose (1 = primary water kerma at the surface, fitted)</translation>
    </message>
    <message>
        <source>専用ウィンドウで計算</source>
        <translation>Run in own window</translation>
    </message>
    <message>
        <source>Kestrun を端末エミュレータでなく Dosavia のウィンドウで実行し、進み具合を表示します（中止もできます）</source>
        <translation>Runs Kestrun in a Dosavia window instead of a terminal emulator and shows its progress (it can be stopped)</translation>
    </message>
    <message>
        <source>画像保存</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>CSV保存</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>この組を消す</source>
        <translation>Remove this set</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>ファイル名「%1」が%2バイト（半角%2文字）を超えます。
Ｘ線エネルギーを短く入力して下さい</source>
        <translation>The file name &quot;%1&quot; is longer than %2 bytes (%2 ASCII characters).
Please type a shorter X-ray energy</translation>
    </message>
    <message>
        <source>%1 を書き込めません</source>
        <translation>Cannot write %1</translation>
    </message>
    <message>
        <source>シミュレーションを開始できません
%1</source>
        <translation>Cannot start the simulation
%1</translation>
    </message>
    <message>
        <source>%1 は計算結果ファイルとして読み込めません</source>
        <translation>%1 cannot be read as a result file</translation>
    </message>
    <message>
        <source>読み込んだファイル：%1</source>
        <translation>File read: %1</translation>
    </message>
    <message>
        <source>グラフの大きさ（ピクセル）</source>
        <translation>Size of the graph (pixels)</translation>
    </message>
    <message>
        <source>並列計算 (%1 コア)</source>
        <translation>Parallel run (%1 cores)</translation>
    </message>
    <message>
        <source>精密な電子輸送 (--accurate)</source>
        <translation>Accurate transport</translation>
    </message>
    <message>
        <source>電子と陽電子を精密な輸送（ELACC.dat）で追跡します。10〜15 MV のビルドアップと d_max が正確になり、計算は遅くなります。結果ファイルの名前に -acc が付きます</source>
        <translation>Follows electrons and positrons by the accurate transport (ELACC.dat): the build-up and d_max at 10 to 15 MV come out right, and the run takes longer. The result file&apos;s name gets -acc</translation>
    </message>
    <message>
        <source>平行ビーム</source>
        <translation>Parallel beam</translation>
    </message>
    <message>
        <source>点線源 SSD</source>
        <translation>Point source, SSD</translation>
    </message>
    <message>
        <source>計算結果（平行ビーム）に逆二乗と深さによる照射野の広がりをかけて、臨床の深部量百分率と同じ点線源の配置に換算します（近似）</source>
        <translation>Turns the result (a parallel beam) into the point source of clinical percentage depth doses by the inverse square and the field's growth with depth (an approximation)</translation>
    </message>
    <message>
        <source>Kestrun をすべてのコアで実行します（--threads 0）。結果は統計誤差の範囲で単一乱数列の計算と一致します</source>
        <translation>Runs Kestrun on every core (--threads 0). The result agrees with the single-stream run within the statistical noise.</translation>
    </message>
    <message>
        <source>画像を保存できません</source>
        <translation>The picture cannot be saved</translation>
    </message>
    <message>
        <source>CSV ファイルを保存できません</source>
        <translation>The CSV file cannot be saved</translation>
    </message>
    <message>
        <source>このファイルには保存できません</source>
        <translation>Cannot save to this file</translation>
    </message>
    <message>
        <source>%1 は既にあります。置き換えますか？</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message>
        <source>置き換える</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>作業フォルダ（クリックで開く）：</source>
        <translation>Working folder (click to open):</translation>
    </message>
</context>
<context>
    <name>ExplanationPage1</name>
    <message>
        <source>解説-１</source>
        <translation>Explanation 1</translation>
    </message>
    <message>
        <source>放射線治療で用いられる高エネルギーＸ線（MVＸ線）の</source>
        <translation>The central-axis depth dose of the high-energy (MV)</translation>
    </message>
    <message>
        <source>中心軸上の深部線量は、入射表面では小さく、深さとともに</source>
        <translation>X-rays of radiotherapy is low at the surface, rises</translation>
    </message>
    <message>
        <source>急に増えて最大となり、その後はゆるやかに減っていく（Fig.1）。</source>
        <translation>steeply with depth to a maximum, then falls slowly (Fig.1).</translation>
    </message>
    <message>
        <source>表面から最大線量の深さ d_max までをビルドアップ領域という。</source>
        <translation>The depths from the surface to d_max: the build-up region.</translation>
    </message>
    <message>
        <source>この急な増加は、光子との相互作用（主に非干渉性散乱、</source>
        <translation>The steep rise arises because secondary electrons, set</translation>
    </message>
    <message>
        <source>すなわちコンプトン散乱）で動き出した２次電子が、物質中を</source>
        <translation>in motion by photon interactions (mainly incoherent, i.e.</translation>
    </message>
    <message>
        <source>ある距離（飛程）だけ進み、その飛跡に沿ってエネルギーを</source>
        <translation>Compton, scattering), travel some distance (their range)</translation>
    </message>
    <message>
        <source>与えるために起こる。電子は主に前方へ進むので、線量は</source>
        <translation>and deposit energy along their tracks. The electrons go</translation>
    </message>
    <message>
        <source>電子が発生した場所より深い所に与えられる。</source>
        <translation>mainly forward, so the dose lands deeper than their origin.</translation>
    </message>
    <message>
        <source>診断用の kV Ｘ線では、２次電子の受け取るエネルギーが小さく、</source>
        <translation>With diagnostic kV X-rays the secondary electrons get</translation>
    </message>
    <message>
        <source>飛程もせいぜい数百μm なので、電子によるビルドアップは</source>
        <translation>little energy and a range of a few hundred μm at most,</translation>
    </message>
    <message>
        <source>ほとんど見られない。</source>
        <translation>so there is hardly any electron build-up.</translation>
    </message>
    <message>
        <source>では、MVＸ線で生じた２次電子はどこまで飛び、どのように</source>
        <translation>How far, then, do the electrons set moving by MV X-rays</translation>
    </message>
    <message>
        <source>広がってエネルギーを与えるのだろうか。次頁で見てみよう。</source>
        <translation>travel, and how do they spread their energy? See next page.</translation>
    </message>
    <message>
        <source>Fig.1  10MVＸ線の組織-最大線量比 (TMR)</source>
        <translation>Fig.1  Tissue-maximum ratio (TMR) of 10 MV X-rays</translation>
    </message>
    <message>
        <source>次頁へ</source>
        <translation>Next page</translation>
    </message>
</context>
<context>
    <name>ExplanationPage2</name>
    <message>
        <source>解説-２</source>
        <translation>Explanation 2</translation>
    </message>
    <message>
        <source>Fig.2 は、高エネルギーX線 (4,6,10 MV) が、ある特定点</source>
        <translation>Fig.2 shows where the kinetic energy of the secondary</translation>
    </message>
    <message>
        <source>(R, Z) = (0, 0) でコンプトン散乱を起こしたとき、</source>
        <translation>electron, set free when a high-energy X-ray (4, 6, 10 MV)</translation>
    </message>
    <message>
        <source>放出された２次電子の運動エネルギーが、その飛跡に沿って</source>
        <translation>is Compton scattered at the point (R, Z) = (0, 0), is</translation>
    </message>
    <message>
        <source>どこで吸収されるかを表したものである。</source>
        <translation>absorbed along the electron track.</translation>
    </message>
    <message>
        <source>初期運動エネルギー（カーマ）を 1.0 に規格化した微分線量</source>
        <translation>The differential dose distribution P(R, Z), normalised</translation>
    </message>
    <message>
        <source>分布 P(R, Z) に 2πR を掛け、Z 軸のまわりに 360 度</source>
        <translation>to an initial kinetic energy (kerma) of 1.0, is multiplied</translation>
    </message>
    <message>
        <source>加え合わせてある。Z はＸ線の進む向き、R は Z 軸からの</source>
        <translation>by 2πR, i.e. summed over 360° about the Z axis. Z is the</translation>
    </message>
    <message>
        <source>距離である。</source>
        <translation>direction of the X-rays, R the distance from the Z axis.</translation>
    </message>
    <message>
        <source>エネルギーが高いほど電子の飛程は長く、広がりも大きい。</source>
        <translation>The higher the energy, the longer and wider the spread.</translation>
    </message>
    <message>
        <source>10 MV でも、エネルギーのほとんどは前方約 3 cm、</source>
        <translation>Even at 10 MV most of the energy is absorbed within</translation>
    </message>
    <message>
        <source>側方約 1.5 cm の範囲で吸収される。</source>
        <translation>about 3 cm forward and about 1.5 cm sideways.</translation>
    </message>
    <message>
        <source>電子の運ぶエネルギーは、線束の方向には深い所へ、</source>
        <translation>The electrons carry energy deeper along the beam,</translation>
    </message>
    <message>
        <source>線束と直角な方向には周りの部分へと移される。</source>
        <translation>and to the surroundings at right angles to it.</translation>
    </message>
    <message>
        <source>次頁からは、この２次電子の平衡によって、線束方向と</source>
        <translation>The next pages consider how electronic equilibrium</translation>
    </message>
    <message>
        <source>側方向にビルドアップがどのように生じるかを考えよう。</source>
        <translation>causes build-up along the beam and laterally.</translation>
    </message>
    <message>
        <source>Fig.2  高エネルギーＸ線で発生する２次電子の吸収確率空間分布</source>
        <translation>Fig.2  Where secondary electrons from MV X-rays deposit energy</translation>
    </message>
    <message>
        <source>Fig.2 の画像がありません</source>
        <translation>The picture of Fig.2 is missing</translation>
    </message>
    <message>
        <source>(R, Z) = (0, 0) で +Z 向きに進む光子に動かされたコンプトン電子の、カーマを 1 とした 2πR·P(R, Z)。各色は、その下の数値から次の数値まで。</source>
        <translation>2πR·P(R, Z) of the Compton electrons set moving at (R, Z) = (0, 0) by photons travelling in +Z, with kerma = 1. Each colour: from the value under it up to the next.</translation>
    </message>
    <message>
        <source>次頁へ</source>
        <translation>Next page</translation>
    </message>
</context>
<context>
    <name>ExplanationPage3</name>
    <message>
        <source>解説-３</source>
        <translation>Explanation 3</translation>
    </message>
    <message>
        <source>線束方向のビルドアップ（2次電子平衡）</source>
        <translation>Build-up along the beam (electronic equilibrium)</translation>
    </message>
    <message>
        <source>水を、線束に沿って並んだ小さな単位体積の列と考える（Fig.3）。</source>
        <translation>Think of water as a row of unit volumes along the beam (Fig.3).</translation>
    </message>
    <message>
        <source>まずＸ線の減弱を無視し、どの体積でも１次光子による</source>
        <translation>Ignore X-ray attenuation first and let the kerma of the</translation>
    </message>
    <message>
        <source>カーマ（２次電子に与えられる運動エネルギー）を 100 とする。</source>
        <translation>primary photons (energy given to electrons) be 100 in each.</translation>
    </message>
    <message>
        <source>２次電子はすべて前方へ進み、飛程は単位体積 4 個分で、</source>
        <translation>All secondary electrons go forward with a range of four</translation>
    </message>
    <message>
        <source>通過する 4 個の体積に 25 ずつ等しくエネルギーを与えるとする。</source>
        <translation>volumes, giving 25 to each of the four volumes they cross.</translation>
    </message>
    <message>
        <source>すると吸収線量は、深さ 1 の体積で 25、2 で 50、3 で 75、</source>
        <translation>The absorbed dose is then 25 in the volume at depth 1,</translation>
    </message>
    <message>
        <source>4 から先では 100 となり、カーマと等しくなる（Fig.4）。</source>
        <translation>50 at 2, 75 at 3, and 100 from 4 on, equal to kerma (Fig.4).</translation>
    </message>
    <message>
        <source>体積に入ってくる電子と出ていく電子のエネルギーがつり合う</source>
        <translation>This state, where the energy electrons carry in balances</translation>
    </message>
    <message>
        <source>この状態を、２次電子平衡という。</source>
        <translation>what they carry out, is called electronic equilibrium.</translation>
    </message>
    <message>
        <source>実際のＸ線は深さとともに減弱するので、カーマも深さとともに</source>
        <translation>Real X-rays are attenuated with depth, so kerma falls</translation>
    </message>
    <message>
        <source>減っていく。このため完全な平衡にはならない。１次線量は</source>
        <translation>with depth too, and equilibrium is never complete. The</translation>
    </message>
    <message>
        <source>d_max 付近で１次カーマと交わり、その先ではカーマより少し</source>
        <translation>primary dose crosses the primary kerma near d_max and</translation>
    </message>
    <message>
        <source>大きい値（10 MV で約 2 %）を保って同じ割合で減っていく。</source>
        <translation>then stays a little above it (about 2 % at 10 MV), falling</translation>
    </message>
    <message>
        <source>これを過渡平衡という（Fig.5）。</source>
        <translation>at the same rate: transient equilibrium (Fig.5).</translation>
    </message>
    <message>
        <source>散乱光子の線量を含む全線量は、もっと浅い所（10 MV で約 2 cm）</source>
        <translation>The total dose, with the scattered photons’ dose, passes</translation>
    </message>
    <message>
        <source>でカーマを越え、深いほど差が開く（10 cm で約 20 %）。これは</source>
        <translation>the kerma sooner (about 2 cm at 10 MV) and exceeds it more</translation>
    </message>
    <message>
        <source>散乱線の寄与で、過渡平衡ではない。</source>
        <translation>with depth (about 20 % at 10 cm): scatter, not equilibrium.</translation>
    </message>
    <message>
        <source>Fig.3  線束方向の単位体積モデル（減弱なし）</source>
        <translation>Fig.3  Unit volumes along the beam (no attenuation)</translation>
    </message>
    <message>
        <source>Fig.4  減弱なし</source>
        <translation>Fig.4  No attenuation</translation>
    </message>
    <message>
        <source>Fig.5  減弱あり（差を誇張した模型）</source>
        <translation>Fig.5  With attenuation (the gap exaggerated)</translation>
    </message>
    <message>
        <source>次頁へ</source>
        <translation>Next page</translation>
    </message>
</context>
<context>
    <name>ExplanationPage4</name>
    <message>
        <source>解説-４</source>
        <translation>Explanation 4</translation>
    </message>
    <message>
        <source>線束に対して側方向のビルドアップ</source>
        <translation>Lateral build-up across the beam</translation>
    </message>
    <message>
        <source>同じ単位体積のモデルを、線束と直角な方向に並べてみる（Fig.6）。</source>
        <translation>Now lay the unit volumes across the beam (Fig.6).</translation>
    </message>
    <message>
        <source>各体積の１次カーマを 80 とし、２次電子は左右それぞれ</source>
        <translation>Let the primary kerma of each be 80; the electrons reach</translation>
    </message>
    <message>
        <source>単位体積 4 個分（発生した体積を含む）まで届いて、</source>
        <translation>four volumes to each side (their own one included),</translation>
    </message>
    <message>
        <source>その各体積に 10 ずつ与えるとする（発生した体積には 20）。</source>
        <translation>giving 10 to each of them (20 to their own volume).</translation>
    </message>
    <message>
        <source>照射野が範囲①（7 個分）以上あれば、中央の体積は自分と</source>
        <translation>If the field covers range ① (7 volumes) or more, the</translation>
    </message>
    <message>
        <source>両側 3 個ずつ、計 7 個の体積から電子を受け取り、線量は</source>
        <translation>central volume receives electrons from all 7 volumes;</translation>
    </message>
    <message>
        <source>80 でカーマと等しい。これが側方向の２次電子平衡である。</source>
        <translation>its dose is 80, equal to kerma: lateral equilibrium.</translation>
    </message>
    <message>
        <source>照射野②（5 個分）では 60、③（3 個分）では 40、</source>
        <translation>Field ② (5 volumes) gives 60, ③ (3 volumes) gives 40,</translation>
    </message>
    <message>
        <source>④（1 個分）では自分の電子だけの 20 になる。</source>
        <translation>④ (1 volume) only the 20 of its own electrons.</translation>
    </message>
    <message>
        <source>実際の照射野が Fig.2 の電子の側方への広がりより狭いと、</source>
        <translation>A field narrower than the lateral electron spread of</translation>
    </message>
    <message>
        <source>中心軸上で側方向の平衡が成り立たなくなって線量が下がり、</source>
        <translation>Fig.2 loses lateral equilibrium on the axis: the dose</translation>
    </message>
    <message>
        <source>最大線量の深さ d_max も表面側へ移る（Fig.7）。</source>
        <translation>falls and d_max moves towards the surface (Fig.7).</translation>
    </message>
    <message>
        <source>ただし照射野による d_max の違いの約 4 割は散乱光子による。</source>
        <translation>About 40 % of the field-size shift of d_max is phantom</translation>
    </message>
    <message>
        <source>10 MV の d_max は 1×1 cm で 2.0 cm、10×10 cm で 2.7 cm、</source>
        <translation>scatter, though: 10 MV d_max is 2.0 cm for 1×1 and</translation>
    </message>
    <message>
        <source>散乱光子の追跡を切ると 2.0 cm と 2.4 cm になる。4×4 cm より</source>
        <translation>2.7 cm for 10×10 cm, but 2.0 and 2.4 cm with scattered</translation>
    </message>
    <message>
        <source>広い照射野での変化は、ほとんどすべて散乱光子の寄与である。</source>
        <translation>photons off. Above 4×4 cm the change is almost all scatter.</translation>
    </message>
    <message>
        <source>定位放射線照射や強度変調放射線治療（IMRT）のように</source>
        <translation>Narrow beams, as in stereotactic irradiation or</translation>
    </message>
    <message>
        <source>細い線束を用いるときには、この効果を考慮する必要がある。</source>
        <translation>IMRT, must take this effect into account.</translation>
    </message>
    <message>
        <source>Fig.6  側方向の単位体積モデル</source>
        <translation>Fig.6  Unit volumes across the beam</translation>
    </message>
    <message>
        <source>Fig.7  細い照射野の深部線量（10 MV、１次カーマの最大値 = 100 %）</source>
        <translation>Fig.7  Depth dose of narrow fields (10 MV, max. primary kerma = 100 %)</translation>
    </message>
    <message>
        <source>次頁へ</source>
        <translation>Next page</translation>
    </message>
</context>
<context>
    <name>ExplanationPage5</name>
    <message>
        <source>解説-５</source>
        <translation>Explanation 5</translation>
    </message>
    <message>
        <source>実験：２次電子がなかったら</source>
        <translation>Experiment: what if there were no secondary electrons?</translation>
    </message>
    <message>
        <source>ビジュアル画面の「物理を切る実験」では、物理過程の</source>
        <translation>With the visual screen's “Switch physics off” boxes,</translation>
    </message>
    <message>
        <source>一部を切ってビルドアップがどこから来るかを確かめられる。</source>
        <translation>you can see where the build-up comes from.</translation>
    </message>
    <message>
        <source>①「電子・陽電子の輸送」を切ると、電子は光子に動かされた</source>
        <translation>① With “electron and positron transport” off, each</translation>
    </message>
    <message>
        <source>その場でエネルギーを落とす。１次線量は表面から１次カーマに</source>
        <translation>electron drops its energy where it was set in motion. The</translation>
    </message>
    <message>
        <source>等しくなり、ビルドアップ領域は消える（Fig.8、Fig.9）。</source>
        <translation>primary dose equals the primary kerma from the surface:</translation>
    </message>
    <message>
        <source>全線量はそれより散乱線の分だけ大きい（10 MV、10×10 cm で</source>
        <translation>no build-up (Fig.8, 9). The total dose is higher by the</translation>
    </message>
    <message>
        <source>表面 2 %、深さ 10 cm で 17 %）。</source>
        <translation>scatter: 2 % at the surface, 17 % at 10 cm (10 MV, 10×10).</translation>
    </message>
    <message>
        <source>②「多重散乱」を切ると、電子は向きを変えずに進む。</source>
        <translation>② With “multiple scattering” off, electrons keep their</translation>
    </message>
    <message>
        <source>広い照射野でも d_max より深い所はほとんど変わらないが、</source>
        <translation>direction. Beyond d_max broad fields hardly change, but the</translation>
    </message>
    <message>
        <source>ビルドアップは深くなる（10×10 cm で d_max 2.7→3.3 cm）。</source>
        <translation>build-up deepens (10×10 cm: d_max 2.7 → 3.3 cm). A 1×1 cm</translation>
    </message>
    <message>
        <source>1×1 cm の照射野では中心軸上の線量がはっきり増える。実際には</source>
        <translation>field keeps clearly more dose on its axis: in reality</translation>
    </message>
    <message>
        <source>電子が横へ散らされるので、細い照射野は線量を失うのである。</source>
        <translation>electrons scatter sideways, so narrow fields lose dose.</translation>
    </message>
    <message>
        <source>③「散乱光子の追跡」を切ると、散乱した光子は電子に</source>
        <translation>③ With “scattered photons” off, a photon that scatters</translation>
    </message>
    <message>
        <source>分け前を渡して消え、散乱線量がなくなる。失われる分は</source>
        <translation>gives its electron its share and is gone: the scatter</translation>
    </message>
    <message>
        <source>照射野が広いほど、また深いほど大きい。</source>
        <translation>dose is lost, more so in wide fields and at depth.</translation>
    </message>
    <message>
        <source>「コヒーレント散乱」「電子対生成」は 4〜15 MV でほぼ効かない。</source>
        <translation>Coherent scattering and pair production barely act at 4–15 MV.</translation>
    </message>
    <message>
        <source>このモデルにないもの：ビームは平行で（臨床は点線源。d_max が</source>
        <translation>Left out of this model: the beam is parallel (a clinical</translation>
    </message>
    <message>
        <source>浅いのは主にこの広がりのため）、治療ヘッドの電子もない（肺は次頁）。</source>
        <translation>point source’s divergence makes d_max shallower), no head</translation>
    </message>
    <message>
        <source>既定の輸送は 10 MeV 超の電子を 5 % 遠くへ走らせる。「精密な電子</source>
        <translation>electrons; lung: page 6. The exact transport runs electrons over</translation>
    </message>
    <message>
        <source>輸送」では d_max が深くなる（15 MV の d_max 3.75→3.90 cm）。</source>
        <translation>10 MeV 5 % too far (accurate one: 15 MV d_max 3.75→3.90 cm).</translation>
    </message>
    <message>
        <source>Fig.8  電子を輸送する</source>
        <translation>Fig.8  With electron transport</translation>
    </message>
    <message>
        <source>Fig.9  電子を輸送しない</source>
        <translation>Fig.9  Without electron transport</translation>
    </message>
    <message>
        <source>次頁へ</source>
        <translation>Next page</translation>
    </message>
</context>
<context>
    <name>ExplanationPage6</name>
    <message>
        <source>解説-６</source>
        <translation>Explanation 6</translation>
    </message>
    <message>
        <source>境界で起こること：肺・空気・骨・ボーラス</source>
        <translation>At interfaces: lung, air, bone and a bolus</translation>
    </message>
    <message>
        <source>患者の体は水だけではない。肺（0.26 g/cm³）、骨（1.92 g/cm³）、</source>
        <translation>A patient is not all water: there is lung (0.26 g/cm³), bone</translation>
    </message>
    <message>
        <source>鼻や気管の空気があり、皮膚にボーラスを置くこともある。</source>
        <translation>(1.92 g/cm³), air in the sinuses and the trachea, and a bolus</translation>
    </message>
    <message>
        <source>スラブファントムで境界の線量を水と比べよう（Fig.10〜12。</source>
        <translation>may lie on the skin. Slab phantoms compare the dose there with</translation>
    </message>
    <message>
        <source>精密な電子輸送で計算し、線量は各物質の質量あたり）。</source>
        <translation>water's (Fig.10-12, accurate transport, dose per mass).</translation>
    </message>
    <message>
        <source>肺の中では電子の飛程が約 4 倍に伸び、横へも 4 倍遠くまで</source>
        <translation>In lung the electrons' range grows about 4 times, sideways too.</translation>
    </message>
    <message>
        <source>広がる。細い照射野では、中心軸から出ていく電子を周りから</source>
        <translation>In a narrow field the electrons leaving the axis are no longer</translation>
    </message>
    <message>
        <source>来る電子が補えず（側方向の２次電子平衡が崩れ）、線量が下がる。</source>
        <translation>replaced from the sides (lateral disequilibrium): the dose falls.</translation>
    </message>
    <message>
        <source>15 MV、1×1 cm では肺の中（深さ 6〜10 cm）の線量は、</source>
        <translation>At 15 MV, 1×1 cm, the dose in the lung (6-10 cm deep) is</translation>
    </message>
    <message>
        <source>同じ深さの水の 58 % しかない。10×10 cm では 104 % とほぼ同じ。</source>
        <translation>only 58 % of water's at that depth; at 10×10 cm 104 %, the same.</translation>
    </message>
    <message>
        <source>6 MV では 1×1 cm で 72 %、10×10 cm で 106 % と損失は小さい。</source>
        <translation>At 6 MV: 72 % at 1×1 cm and 106 % at 10×10 cm, a smaller loss.</translation>
    </message>
    <message>
        <source>肺や空気層の奥の水では、線量がもう一度ビルドアップする。</source>
        <translation>In the water beyond lung or an air gap the dose builds up again.</translation>
    </message>
    <message>
        <source>15 MV、1×1 cm では肺のすぐ奥（13.0〜13.3 cm）で水の 83 %、</source>
        <translation>At 15 MV, 1×1 cm: 83 % just beyond the lung (13.0-13.3 cm),</translation>
    </message>
    <message>
        <source>その先では水より高くなる（肺は光子をあまり減弱させない）。</source>
        <translation>then more than water's (lung attenuates the photons little).</translation>
    </message>
    <message>
        <source>空気は電子をほとんど生まず、電子は横へも逃げる。空気層の</source>
        <translation>Air sets almost no electrons moving, and they escape sideways:</translation>
    </message>
    <message>
        <source>すぐ奥（5.0〜5.3 cm）の線量は、10×10 cm で水の 91 %、</source>
        <translation>just beyond the air gap (5.0-5.3 cm): 91 % of water's at 10×10 cm,</translation>
    </message>
    <message>
        <source>1×1 cm では 42 % で、その奥の水でもう一度増えていく。</source>
        <translation>42 % at 1×1 cm, and it rises again in the water further on.</translation>
    </message>
    <message>
        <source>骨は質量あたりの電子が水より少なく（0.93 倍）、電子を止める力も</source>
        <translation>Bone has fewer electrons per gram than water (0.93 times), stops</translation>
    </message>
    <message>
        <source>小さいので、質量あたりの線量は水より低い。6 MV、10×10 cm の</source>
        <translation>them less per gram: a lower dose per mass. At 6 MV, 10×10 cm,</translation>
    </message>
    <message>
        <source>骨の中の線量は同じ深さの水の 91 %、骨の奥（5〜8 cm）も 93 %</source>
        <translation>91 % of water's at that depth in the bone, 93 % beyond it (5-8 cm)</translation>
    </message>
    <message>
        <source>になる（骨は同じ厚さの水より多くの光子を減弱させる）。</source>
        <translation>(bone attenuates more photons than the same thickness of water).</translation>
    </message>
    <message>
        <source>ボーラスは組織に近い物質で、ビルドアップを皮膚の外へ移す。</source>
        <translation>A bolus, tissue-like material, moves the build-up off the skin:</translation>
    </message>
    <message>
        <source>6 MV、10×10 cm で皮膚に 1 cm のボーラスを置くと、皮膚の最初の</source>
        <translation>with 1 cm on the skin (6 MV, 10×10 cm), the dose of the skin's</translation>
    </message>
    <message>
        <source>1 mm の線量は、水の最大線量の 23 % から 93 % に上がる。</source>
        <translation>first mm rises from 23 % to 93 % of water's maximum dose.</translation>
    </message>
    <message>
        <source>エネルギーが高いほど電子は遠くまで飛ぶので、肺の中の</source>
        <translation>The higher the energy, the further the electrons go: small</translation>
    </message>
    <message>
        <source>小さな腫瘍を細い照射野で治療するときは 6 MV が選ばれやすい。</source>
        <translation>lung tumours treated with narrow fields are often given 6 MV.</translation>
    </message>
    <message>
        <source>Fig.10  肺スラブ（水 3 cm、肺 10 cm）、15 MV</source>
        <translation>Fig.10  Lung slab (water 3 cm, lung 10 cm), 15 MV</translation>
    </message>
    <message>
        <source>Fig.11  空気層（空気 2 cm）、15 MV</source>
        <translation>Fig.11  Air gap (air 2 cm), 15 MV</translation>
    </message>
    <message>
        <source>Fig.12  骨スラブとボーラス、6 MV</source>
        <translation>Fig.12  Bone slab and bolus, 6 MV</translation>
    </message>
    <message>
        <source>実線はファントム、破線は同じ照射野の水（その最大 = 100 %）。色の帯はその物質の層。</source>
        <translation>Solid: the phantom; dashed: water in the same field (its maximum = 100 %). The shaded bands are the layers.</translation>
    </message>
    <message>
        <source>参考文献</source>
        <translation>References</translation>
    </message>
</context>
<context>
    <name>ReferencesPage</name>
    <message>
        <source>文献</source>
        <translation>References</translation>
    </message>
    <message>
        <source>参考文献</source>
        <translation>References</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>場所をコピー</source>
        <translation>Copy the location</translation>
    </message>
    <message>
        <source>設定ファイル %1 はファイルではないので読みません。既定の設定で始め、変更は保存しません</source>
        <translation>The settings file %1 is not a file, so it is not read. Starting with the default settings; changes are not saved</translation>
    </message>
    <message>
        <source>設定ファイル %1 は大きすぎるので読みません。既定の設定で始め、変更は保存しません</source>
        <translation>The settings file %1 is too large, so it is not read. Starting with the default settings; changes are not saved</translation>
    </message>
    <message>
        <source>設定を %1 に保存できません。変更はこのプログラムを閉じるまで有効です</source>
        <translation>Cannot save the settings to %1. Changes stay in effect until the program is closed</translation>
    </message>
    <message>
        <source>環境変数 HOME が設定されていないため、作業フォルダを %1 にします</source>
        <translation>The HOME variable is not set, so the working folder is %1</translation>
    </message>
    <message>
        <source>%1 を復元できません</source>
        <translation>Cannot restore %1</translation>
    </message>
    <message>
        <source>作業フォルダ %1 の次のデータファイルが無いか、壊れています（データとして読めません）：
%2

インストールされたものから復元しますか？壊れたファイルは「名前.damaged」として残します</source>
        <translation>These data files in the working folder %1 are missing or damaged (they no longer read as data):
%2

Restore them from the installed copies? A damaged file is kept as NAME.damaged</translation>
    </message>
    <message>
        <source>復元する</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>そのままにする</source>
        <translation>Leave them</translation>
    </message>
    <message>
        <source>復元しました：%1</source>
        <translation>Restored: %1</translation>
    </message>
    <message>
        <source>%1 が見つかりません。探した場所:
%2</source>
        <translation>%1 was not found. Places searched:
%2</translation>
    </message>
    <message>
        <source>%1 を起動できませんでした</source>
        <translation>Could not start %1</translation>
    </message>
    <message>
        <source>
ファイル：</source>
        <translation>
File: </translation>
    </message>
    <message>
        <source>
行：%1 行目</source>
        <translation>
Line: %1</translation>
    </message>
    <message>
        <source>
項目：</source>
        <translation>
Item: </translation>
    </message>
    <message>
        <source>
内容：</source>
        <translation>
Problem: </translation>
    </message>
    <message>
        <source>データファイルのフォルダが見つかりません</source>
        <translation>The folder of the data files was not found</translation>
    </message>
    <message>
        <source>データファイルを作業フォルダへ写せません</source>
        <translation>Cannot copy the data files to the working folder</translation>
    </message>
    <message>
        <source>作業フォルダ
%1
を作成できません：%2</source>
        <translation>Cannot create the working folder
%1
Reason: %2</translation>
    </message>
    <message>
        <source>作業フォルダ
%1
に移れません</source>
        <translation>Cannot change to the working folder
%1</translation>
    </message>
    <message>
        <source>Dosavia の作業フォルダは
%1
です。

計算結果（*.data）と、保存した画像・CSV は
ここに置かれます。</source>
        <translation>Dosavia's working folder is
%1

The results of the runs (*.data) and
the saved pictures and tables go there.</translation>
    </message>
    <message>
        <source>
計算に使うデータファイルを
ここへ写しました：
%1</source>
        <translation>
The data files the runs need
were copied there:
%1</translation>
    </message>
    <message>
        <source>

「Non visual simulation」の画面の
左下でフォルダを開けます。</source>
        <translation>

The “Non visual simulation” screen opens
the folder from its lower left corner.</translation>
    </message>
    <message>
        <source>フォルダを開くプログラム（ファイルマネージャー）を
起動できませんでした。

作業フォルダの場所：
%1</source>
        <translation>No program (file manager) could be started
to open the folder.

The working folder is:
%1</translation>
    </message>
    <message>
        <source>%1 を表示する端末エミュレータが
見つかりません。

「%2」に
チェックを入れると、
Dosavia のウィンドウで計算できます。

端末エミュレータは
環境変数 TERMINAL でも指定できます。</source>
        <translation>No terminal emulator was found
to show %1.

Tick “%2”
to run it in a Dosavia window.

A terminal emulator can also be named
in the environment variable TERMINAL.</translation>
    </message>
    <message>
        <source>

%1
で続けます</source>
        <translation>

Going on in
%1</translation>
    </message>
</context>
<context>
    <name>PhysicsSwitchBoxes</name>
    <message>
        <source>切ると、電子と陽電子は光子に動かされたその場でエネルギーを落とします（カーマ近似）。ビルドアップ領域が消えます</source>
        <translation>Off: electrons and positrons give up their energy where the photon set them in motion (the kerma approximation). The build-up region disappears</translation>
    </message>
    <message>
        <source>切ると、電子は飛程の間まっすぐ進みます。狭い照射野では中心軸上の線量が増えます</source>
        <translation>Off: electrons fly straight on along their range. A narrow field keeps more dose on its axis</translation>
    </message>
    <message>
        <source>切ると、散乱した光子は電子に分け前を渡して消えます。散乱線量はゼロになります</source>
        <translation>Off: a photon that scatters gives its electron its share and leaves. The scatter dose is zero</translation>
    </message>
    <message>
        <source>コヒーレント散乱は 4〜15 MV の深部線量をほとんど変えません</source>
        <translation>Coherent scattering hardly changes the depth dose at 4–15 MV</translation>
    </message>
    <message>
        <source>電子対生成を切っても 4〜15 MV の深部線量は数パーセントしか変わりません（15 MV で最も効きます）</source>
        <translation>Without pair production the depth dose changes by only a few per cent at 4–15 MV (most at 15 MV)</translation>
    </message>
</context>
<context>
    <name>ZoomMenu</name>
    <message>
        <source>表示倍率</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>表示倍率 %1 %：画面に入らない部分はスクロールで見られます（Ctrl+0 で画面に合わせる）</source>
        <translation>Zoom %1 %: scroll to see what does not fit on the screen (Ctrl+0 fits the screen)</translation>
    </message>
    <message>
        <source>画面に合わせる</source>
        <translation>Fit to screen</translation>
    </message>
</context>
</TS>
