#include "models/page_texts.h"

#include <stdexcept>
#include <string>

namespace dosavia {

namespace {

using K = PageLineKind;

constexpr PageLine kPage1Lines[] = {
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage1", "放射線治療で用いられる高エネルギーＸ線（MVＸ線）の")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage1", "中心軸上の深部線量は、入射表面では小さく、深さとともに")},
    {K::kBody, PAGE_TEXT("ExplanationPage1",
                         "急に増えて最大となり、その後はゆるやかに減っていく（Fig.1）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage1", "表面から最大線量の深さ d_max までをビルドアップ領域という。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage1", "この急な増加は、光子との相互作用（主に非干渉性散乱、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage1", "すなわちコンプトン散乱）で動き出した２次電子が、物質中を")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage1", "ある距離（飛程）だけ進み、その飛跡に沿ってエネルギーを")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage1", "与えるために起こる。電子は主に前方へ進むので、線量は")},
    {K::kBody, PAGE_TEXT("ExplanationPage1", "電子が発生した場所より深い所に与えられる。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage1", "診断用の kV Ｘ線では、２次電子の受け取るエネルギーが小さく、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage1", "飛程もせいぜい数百μm なので、電子によるビルドアップは")},
    {K::kBody, PAGE_TEXT("ExplanationPage1", "ほとんど見られない。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage1", "では、MVＸ線で生じた２次電子はどこまで飛び、どのように")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage1", "広がってエネルギーを与えるのだろうか。次頁で見てみよう。")},
};
constexpr const char* kPage1Captions[] = {
    PAGE_TEXT("ExplanationPage1", "Fig.1  10MVＸ線の組織-最大線量比 (TMR)"),
};

constexpr PageLine kPage2Lines[] = {
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage2", "Fig.2 は、高エネルギーX線 (4,6,10 MV) が、ある特定点")},
    {K::kBody, PAGE_TEXT("ExplanationPage2", "(R, Z) = (0, 0) でコンプトン散乱を起こしたとき、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage2", "放出された２次電子の運動エネルギーが、その飛跡に沿って")},
    {K::kBody, PAGE_TEXT("ExplanationPage2", "どこで吸収されるかを表したものである。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage2", "初期運動エネルギー（カーマ）を 1.0 に規格化した微分線量")},
    {K::kBody, PAGE_TEXT("ExplanationPage2", "分布 P(R, Z) に 2πR を掛け、Z 軸のまわりに 360 度")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage2", "加え合わせてある。Z はＸ線の進む向き、R は Z 軸からの")},
    {K::kBody, PAGE_TEXT("ExplanationPage2", "距離である。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage2", "エネルギーが高いほど電子の飛程は長く、広がりも大きい。")},
    {K::kBody, PAGE_TEXT("ExplanationPage2", "10 MV でも、エネルギーのほとんどは前方約 3 cm、")},
    {K::kBody, PAGE_TEXT("ExplanationPage2", "側方約 1.5 cm の範囲で吸収される。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage2", "電子の運ぶエネルギーは、線束の方向には深い所へ、")},
    {K::kBody, PAGE_TEXT("ExplanationPage2", "線束と直角な方向には周りの部分へと移される。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage2", "次頁からは、この２次電子の平衡によって、線束方向と")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage2", "側方向にビルドアップがどのように生じるかを考えよう。")},
};
constexpr const char* kPage2Captions[] = {
    PAGE_TEXT("ExplanationPage2", "Fig.2  高エネルギーＸ線で発生する２次電子の吸収確率空間分布"),
};
// Fig.2 is a picture: what its colour bar means is said here, in either language.
constexpr const char* kPage2Notes[] = {
    PAGE_TEXT("ExplanationPage2",
              "(R, Z) = (0, 0) で +Z 向きに進む光子に動かされたコンプトン電子の、"
              "カーマを 1 とした 2πR·P(R, Z)。各色は、その下の数値から次の数値まで。"),
};

constexpr PageLine kPage3Lines[] = {
    {K::kHeading, PAGE_TEXT("ExplanationPage3", "線束方向のビルドアップ（2次電子平衡）")},
    {K::kParagraph, PAGE_TEXT("ExplanationPage3",
                              "水を、線束に沿って並んだ小さな単位体積の列と考える（Fig.3）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage3", "まずＸ線の減弱を無視し、どの体積でも１次光子による")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage3", "カーマ（２次電子に与えられる運動エネルギー）を 100 とする。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage3", "２次電子はすべて前方へ進み、飛程は単位体積 4 個分で、")},
    {K::kBody, PAGE_TEXT("ExplanationPage3",
                         "通過する 4 個の体積に 25 ずつ等しくエネルギーを与えるとする。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage3", "すると吸収線量は、深さ 1 の体積で 25、2 で 50、3 で 75、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage3", "4 から先では 100 となり、カーマと等しくなる（Fig.4）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage3", "体積に入ってくる電子と出ていく電子のエネルギーがつり合う")},
    {K::kBody, PAGE_TEXT("ExplanationPage3", "この状態を、２次電子平衡という。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage3", "実際のＸ線は深さとともに減弱するので、カーマも深さとともに")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage3", "減っていく。このため完全な平衡にはならない。１次線量は")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage3", "d_max 付近で１次カーマと交わり、その先ではカーマより少し")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage3", "大きい値（10 MV で約 2 %）を保って同じ割合で減っていく。")},
    {K::kBody, PAGE_TEXT("ExplanationPage3", "これを過渡平衡という（Fig.5）。")},
    {K::kParagraph, PAGE_TEXT("ExplanationPage3",
                              "散乱光子の線量を含む全線量は、もっと浅い所（10 MV で約 2 cm）")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage3", "でカーマを越え、深いほど差が開く（10 cm で約 20 %）。これは")},
    {K::kBody, PAGE_TEXT("ExplanationPage3", "散乱線の寄与で、過渡平衡ではない。")},
};
constexpr const char* kPage3Captions[] = {
    PAGE_TEXT("ExplanationPage3", "Fig.3  線束方向の単位体積モデル（減弱なし）"),
    PAGE_TEXT("ExplanationPage3", "Fig.4  減弱なし"),
    // The model's attenuation is far stronger than water's, so that the gap between dose and
    // kerma shows at all: the caption says so beside the text's 2 %.
    PAGE_TEXT("ExplanationPage3", "Fig.5  減弱あり（差を誇張した模型）"),
};

constexpr PageLine kPage4Lines[] = {
    {K::kHeading, PAGE_TEXT("ExplanationPage4", "線束に対して側方向のビルドアップ")},
    {K::kParagraph, PAGE_TEXT("ExplanationPage4",
                              "同じ単位体積のモデルを、線束と直角な方向に並べてみる（Fig.6）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage4", "各体積の１次カーマを 80 とし、２次電子は左右それぞれ")},
    {K::kBody, PAGE_TEXT("ExplanationPage4", "単位体積 4 個分（発生した体積を含む）まで届いて、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage4", "その各体積に 10 ずつ与えるとする（発生した体積には 20）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage4", "照射野が範囲①（7 個分）以上あれば、中央の体積は自分と")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage4", "両側 3 個ずつ、計 7 個の体積から電子を受け取り、線量は")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage4", "80 でカーマと等しい。これが側方向の２次電子平衡である。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage4", "照射野②（5 個分）では 60、③（3 個分）では 40、")},
    {K::kBody, PAGE_TEXT("ExplanationPage4", "④（1 個分）では自分の電子だけの 20 になる。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage4", "実際の照射野が Fig.2 の電子の側方への広がりより狭いと、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage4", "中心軸上で側方向の平衡が成り立たなくなって線量が下がり、")},
    {K::kBody, PAGE_TEXT("ExplanationPage4", "最大線量の深さ d_max も表面側へ移る（Fig.7）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage4", "ただし照射野による d_max の違いの約 4 割は散乱光子による。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage4", "10 MV の d_max は 1×1 cm で 2.0 cm、10×10 cm で 2.7 cm、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage4", "散乱光子の追跡を切ると 2.0 cm と 2.4 cm になる。4×4 cm より")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage4", "広い照射野での変化は、ほとんどすべて散乱光子の寄与である。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage4", "定位放射線照射や強度変調放射線治療（IMRT）のように")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage4", "細い線束を用いるときには、この効果を考慮する必要がある。")},
};
constexpr const char* kPage4Captions[] = {
    PAGE_TEXT("ExplanationPage4", "Fig.6  側方向の単位体積モデル"),
    PAGE_TEXT("ExplanationPage4",
              "Fig.7  細い照射野の深部線量（10 MV、１次カーマの最大値 = 100 %）"),
};

constexpr PageLine kPage5Lines[] = {
    {K::kHeading, PAGE_TEXT("ExplanationPage5", "実験：２次電子がなかったら")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage5", "ビジュアル画面の「物理を切る実験」では、物理過程の")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "一部を切ってビルドアップがどこから来るかを確かめられる。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage5", "①「電子・陽電子の輸送」を切ると、電子は光子に動かされた")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "その場でエネルギーを落とす。１次線量は表面から１次カーマに")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "等しくなり、ビルドアップ領域は消える（Fig.8、Fig.9）。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "全線量はそれより散乱線の分だけ大きい（10 MV、10×10 cm で")},
    {K::kBody, PAGE_TEXT("ExplanationPage5", "表面 2 %、深さ 10 cm で 17 %）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage5", "②「多重散乱」を切ると、電子は向きを変えずに進む。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "広い照射野でも d_max より深い所はほとんど変わらないが、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "ビルドアップは深くなる（10×10 cm で d_max 2.7→3.3 cm）。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "1×1 cm の照射野では中心軸上の線量がはっきり増える。実際には")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "電子が横へ散らされるので、細い照射野は線量を失うのである。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage5", "③「散乱光子の追跡」を切ると、散乱した光子は電子に")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "分け前を渡して消え、散乱線量がなくなる。失われる分は")},
    {K::kBody, PAGE_TEXT("ExplanationPage5", "照射野が広いほど、また深いほど大きい。")},
    {K::kParagraph, PAGE_TEXT("ExplanationPage5",
                              "「コヒーレント散乱」「電子対生成」は 4〜15 MV でほぼ効かない。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage5", "このモデルにないもの：ビームは平行で（臨床は点線源。d_max が")},
    {K::kBody, PAGE_TEXT("ExplanationPage5",
                         "浅いのは主にこの広がりのため）、治療ヘッドの電子もない（肺は次頁）。")},
    {K::kBody, PAGE_TEXT("ExplanationPage5",
                         "既定の輸送は 10 MeV 超の電子を 5 % 遠くへ走らせる。「精密な電子")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage5", "輸送」では d_max が深くなる（15 MV の d_max 3.75→3.90 cm）。")},
};
constexpr const char* kPage5Captions[] = {
    PAGE_TEXT("ExplanationPage5", "Fig.8  電子を輸送する"),
    PAGE_TEXT("ExplanationPage5", "Fig.9  電子を輸送しない"),
};

constexpr PageLine kPage6Lines[] = {
    {K::kHeading, PAGE_TEXT("ExplanationPage6", "境界で起こること：肺・空気・骨・ボーラス")},
    {K::kParagraph, PAGE_TEXT("ExplanationPage6",
                              "患者の体は水だけではない。肺（0.26 g/cm³）、骨（1.92 g/cm³）、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "鼻や気管の空気があり、皮膚にボーラスを置くこともある。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "スラブファントムで境界の線量を水と比べよう（Fig.10〜12。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "精密な電子輸送で計算し、線量は各物質の質量あたり）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage6", "肺の中では電子の飛程が約 4 倍に伸び、横へも 4 倍遠くまで")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "広がる。細い照射野では、中心軸から出ていく電子を周りから")},
    {K::kBody, PAGE_TEXT("ExplanationPage6",
                         "来る電子が補えず（側方向の２次電子平衡が崩れ）、線量が下がる。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "15 MV、1×1 cm では肺の中（深さ 6〜10 cm）の線量は、")},
    {K::kBody, PAGE_TEXT("ExplanationPage6",
                         "同じ深さの水の 58 % しかない。10×10 cm では 104 % とほぼ同じ。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "6 MV では 1×1 cm で 72 %、10×10 cm で 106 % と損失は小さい。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage6", "肺や空気層の奥の水では、線量がもう一度ビルドアップする。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "15 MV、1×1 cm では肺のすぐ奥（13.0〜13.3 cm）で水の 83 %、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "その先では水より高くなる（肺は光子をあまり減弱させない）。")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "空気は電子をほとんど生まず、電子は横へも逃げる。空気層の")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "すぐ奥（5.0〜5.3 cm）の線量は、10×10 cm で水の 91 %、")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "1×1 cm では 42 % で、その奥の水でもう一度増えていく。")},
    {K::kParagraph, PAGE_TEXT("ExplanationPage6",
                              "骨は質量あたりの電子が水より少なく（0.93 倍）、電子を止める力も")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "小さいので、質量あたりの線量は水より低い。6 MV、10×10 cm の")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "骨の中の線量は同じ深さの水の 91 %、骨の奥（5〜8 cm）も 93 %")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "になる（骨は同じ厚さの水より多くの光子を減弱させる）。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage6", "ボーラスは組織に近い物質で、ビルドアップを皮膚の外へ移す。")},
    {K::kBody, PAGE_TEXT("ExplanationPage6",
                         "6 MV、10×10 cm で皮膚に 1 cm のボーラスを置くと、皮膚の最初の")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "1 mm の線量は、水の最大線量の 23 % から 93 % に上がる。")},
    {K::kParagraph,
     PAGE_TEXT("ExplanationPage6", "エネルギーが高いほど電子は遠くまで飛ぶので、肺の中の")},
    {K::kBody,
     PAGE_TEXT("ExplanationPage6", "小さな腫瘍を細い照射野で治療するときは 6 MV が選ばれやすい。")},
};
constexpr const char* kPage6Captions[] = {
    PAGE_TEXT("ExplanationPage6", "Fig.10  肺スラブ（水 3 cm、肺 10 cm）、15 MV"),
    PAGE_TEXT("ExplanationPage6", "Fig.11  空気層（空気 2 cm）、15 MV"),
    PAGE_TEXT("ExplanationPage6", "Fig.12  骨スラブとボーラス、6 MV"),
};
// The curves are the engine's: what the shading and the dashes mean is said in words, under
// the last figure, where the page has room.
constexpr const char* kPage6Notes[] = {
    nullptr,
    nullptr,
    PAGE_TEXT("ExplanationPage6",
              "実線はファントム、破線は同じ照射野の水（その最大 = 100 %）。色の帯はその物質の層。"),
};

constexpr PageLine kReferenceLines[] = {
    {K::kHeading, PAGE_TEXT("ReferencesPage", "参考文献")},
    {K::kCitation, "1.  L. I. Schiff:"},
    {K::kCitationMore, "Energy-angle distribution of thin target bremsstrahlung."},
    {K::kCitationMore, "Phys. Rev. 83, 252–253 (1951)."},
    {K::kCitation, "2.  R. Mohan, C. Chui and L. Lidofsky:"},
    {K::kCitationMore, "Differential pencil beam dose computation model"},
    {K::kCitationMore, "for photons."},
    {K::kCitationMore, "Med. Phys. 13, 64–73 (1986)."},
    {K::kCitation, "3.  T. R. Mackie, A. F. Bielajew, D. W. O. Rogers"},
    {K::kCitationMore, "and J. J. Battista:"},
    {K::kCitationMore, "Generation of photon energy deposition kernels"},
    {K::kCitationMore, "using the EGS Monte Carlo code."},
    {K::kCitationMore, "Phys. Med. Biol. 33, 1–20 (1988)."},
};

using F = PageFigure;
constexpr PageFigure kPage1Figures[] = {F::kTmr};
constexpr PageFigure kPage2Figures[] = {F::kElectronMap};
constexpr PageFigure kPage3Figures[] = {F::kLongitudinalModel, F::kModelDose,
                                        F::kAttenuatedModelDose};
constexpr PageFigure kPage4Figures[] = {F::kLateralModel, F::kNarrowField};
constexpr PageFigure kPage5Figures[] = {F::kModelDoseWithTransport, F::kModelDoseWithoutTransport};
constexpr PageFigure kPage6Figures[] = {F::kLungSlab, F::kAirGap, F::kBoneAndBolus};

// In reading order. The translation contexts are the first names of Dosavia's windows of
// the pages, whose numbers page 5 and the references do not follow.
const PageTexts kPages[] = {
    {1, "ExplanationPage1", PAGE_TEXT("ExplanationPage1", "解説-１"), kPage1Lines, kPage1Captions,
     PAGE_TEXT("ExplanationPage1", "次頁へ"), kPage1Figures},
    {2, "ExplanationPage2", PAGE_TEXT("ExplanationPage2", "解説-２"), kPage2Lines, kPage2Captions,
     PAGE_TEXT("ExplanationPage2", "次頁へ"), kPage2Figures, kPage2Notes},
    {3, "ExplanationPage3", PAGE_TEXT("ExplanationPage3", "解説-３"), kPage3Lines, kPage3Captions,
     PAGE_TEXT("ExplanationPage3", "次頁へ"), kPage3Figures},
    {4, "ExplanationPage4", PAGE_TEXT("ExplanationPage4", "解説-４"), kPage4Lines, kPage4Captions,
     PAGE_TEXT("ExplanationPage4", "次頁へ"), kPage4Figures},
    {5, "ExplanationPage5", PAGE_TEXT("ExplanationPage5", "解説-５"), kPage5Lines, kPage5Captions,
     PAGE_TEXT("ExplanationPage5", "次頁へ"), kPage5Figures},
    {6, "ExplanationPage6", PAGE_TEXT("ExplanationPage6", "解説-６"), kPage6Lines, kPage6Captions,
     PAGE_TEXT("ExplanationPage6", "参考文献"), kPage6Figures, kPage6Notes},
    {kReferencesPage,
     "ReferencesPage",
     PAGE_TEXT("ReferencesPage", "文献"),
     kReferenceLines,
     {},
     nullptr,
     {}},
};

}  // namespace

std::span<const PageTexts> ExplanationPages() { return kPages; }

const PageTexts& ExplanationPageTexts(int page) {
  for (const PageTexts& texts : kPages)
    if (texts.page == page) return texts;
  throw std::out_of_range("no explanation page " + std::to_string(page));
}

}  // namespace dosavia
