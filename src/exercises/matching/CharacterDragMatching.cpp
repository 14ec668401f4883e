#include "exercises/matching/CharacterDragMatching.h"

#include "exercises/matching/MatchingDesign.h"
#include "shell/DesignCanvas.h"
#include "state/Modulo1.h"
#include "state/Random.h"

namespace zampli {

namespace {
constexpr int kSeries = 5;
constexpr QSize kPictureTwips(1695, 1575);
constexpr int kPieceLeft = 360;
constexpr int kBoxLeft = 5040;
constexpr int kReferenceLeft = 7320;

// A piece whose top is 0 has no row yet while the pieces are shuffled.
constexpr int kUnplaced = 0;
constexpr int rowTop(int row) { return 120 + 1680 * row; }
} // namespace

CharacterDragMatching::CharacterDragMatching(Windows &w)
    : ExerciseForm(w, FormId::Caratteri2, QSize(10785, 9645), kMatchingBrown)
{
}

void CharacterDragMatching::buildControls(DesignCanvas &canvas)
{
    std::array<Placement, 5> pieces, boxes, references;
    for (int k = 0; k < 5; ++k) {
        pieces[k] = {.twips = QRect(QPoint(kPieceLeft, rowTop(k)), kPictureTwips), .pointer = Art::CursorArrow};
        boxes[k] = {.twips = QRect(QPoint(kBoxLeft, rowTop(k)), kPictureTwips)};
        references[k] = {.twips = QRect(QPoint(kReferenceLeft, rowTop(k)), kPictureTwips)};
    }
    const QString origin = PieceMime::originOf(&canvas);
    image1_ = canvas.addArray<DragPiece>(QStringLiteral("Image1"), pieces);
    image3_ = canvas.addArray<DropBox>(QStringLiteral("Image3"), boxes);
    image2_ = canvas.addArray<PictureBox>(QStringLiteral("Image2"), references);
    for (int k = 0; k < 5; ++k) {
        (*image1_)[k]->setDragData(origin, k);
        DropBox *box = (*image3_)[k];
        box->setSingleBorder(true);
        box->setOrigin(origin);
        // Only a piece that can still be dragged: one of the five, enabled, not emptied.
        box->takes = [this](int piece) {
            return piece < image1_->size() && (*image1_)[piece]->isEnabled() && !(*image1_)[piece]->isEmpty();
        };
        connect(box, &DropBox::dropped, this, [this, k](int piece) { Image3_DragDrop(k, piece); });
    }

    command2_ = addNextButton(canvas, QStringLiteral("Command2"), QRect(9360, 7320, 1815, 975));
    command2_->setEnabled(false);
    connect(command2_, &QPushButton::clicked, this, &CharacterDragMatching::Command2_Click);
}

PictureFile CharacterDragMatching::letterPicture(int vowel, int style) const
{
    return vowelPicture(m.services.media, Pictures::Letters, m.Lettere[vowel], style);
}

void CharacterDragMatching::enablePieces()
{
    for (DragPiece *piece : *image1_)
        piece->setEnabled(true);
}

void CharacterDragMatching::ownResets()
{
    StileRiferimenti = kStylePairs[0].model;
    StilePezzi = kStylePairs[0].row;
    enablePieces();
}

void CharacterDragMatching::setStylePair(int item)
{
    const StylePair pair = stylePair(item);
    StileRiferimenti = pair.model;
    StilePezzi = pair.row;
}

void CharacterDragMatching::CaricaZampli()
{
    CoppieFatte = 0;
    for (int k = 0; k < 5; ++k) {
        (*image1_)[k]->clear();
        (*image3_)[k]->clear();
        (*image2_)[k]->clear();
    }
    for (int v = 1; v <= 5; ++v) {
        DragPiece *piece = (*image1_)[v - 1];
        piece->load(m.pictures, letterPicture(v, StilePezzi));
        piece->setTag(m.Lettere[v]);
        (*image2_)[v - 1]->load(m.pictures, letterPicture(v, StileRiferimenti));
    }
    ScombiccheraPosti();
}

void CharacterDragMatching::ScombiccheraPosti()
{
    DesignCanvas &c = *canvas();
    const auto top = [&](int k) { return c.twips((*image1_)[k]).top(); };
    const auto setTop = [&](int k, int t) {
        QRect r = c.twips((*image1_)[k]);
        r.moveTop(t);
        c.setTwips((*image1_)[k], r);
    };
    for (int k = 0; k < 5; ++k)
        setTop(k, kUnplaced);
    for (int row = 0; row < 5; ++row) {
        // One draw per row; a piece placed already passes the turn to the next
        // free index, which makes the order deliberately not uniform.
        int k = m.services.random.drawPlace(5);
        while (top(k) != kUnplaced)
            k = (k + 1) % 5;
        setTop(k, rowTop(row));
    }
}

void CharacterDragMatching::Image3_DragDrop(int index, int source)
{
    if (source == index) {
        DragPiece *piece = (*image1_)[source];
        const QString letter = (*image1_)[index]->tag();
        ++m.EserciziEseguiti;
        canvas()->setBackground(vowelColour(letter));
        (*image3_)[index]->copyPicture(*piece);
        piece->clear();
        piece->setEnabled(false);
        ++CoppieFatte;
        m.Percorso = m.services.media.voice(letter);
        m.play(m.Percorso);
    } else {
        m.SuonoSbagliato();
        ++m.EserciziErrati;
    }
    if (CoppieFatte == kSeries)
        command2_->setEnabled(true);
}

void CharacterDragMatching::Command2_Click()
{
    enablePieces();
    CaricaZampli();
    command2_->setEnabled(false);
}

} // namespace zampli
