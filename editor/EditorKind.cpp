#include "EditorKind.h"

const EditorKind& EditorKind::Photo()
{
    static const EditorKind kind{
        Which::Photo,
        0.828f,
        0.828,
        true,
        MakeOleColor(255, 255, 0),
        210,
        280,
        315,
        100,
        5,
        6,
        QStringLiteral("Utilizzare la barra di scorrimento verticale ed orizzontale per centrare l'immagine "
                       "in modo approssimativo, poi spostare e/o ridimensionare il rettangolo per ritagliare "
                       "esattamente la porzione di immagine voluta, fino ad ottenere il risultato corretto."),
        QRect(6, 6, 700, 661),
        QRect(8, 8, 671, 633),
        QRect(8, 640, 671, 25),
        QRect(679, 8, 25, 633),
        QRect(720, 8, 295, 137),
        QRect(728, 152, 271, 25),
        QRect(728, 176, 281, 336),
        QRect(736, 184, 265, 320),
        QStringLiteral(":/layouts/AnalizzaFoto.layout"),
    };
    return kind;
}

const EditorKind& EditorKind::Signature()
{
    static const EditorKind kind{
        Which::Signature,
        5.0f,
        5.0,
        false,
        MakeOleColor(0, 255, 255),
        244,
        874,
        166,
        710,
        7,
        8,
        QStringLiteral("Utilizzare la barra di scorrimento verticale ed orizzontale per centrare l'immagine "
                       "in modo approssimativo, poi spostare e/o ridimensionare il rettangolo per ritagliare "
                       "esattamente la porzione di immagine voluta (senza badare alla proporzione), fino ad "
                       "ottenere il risultato corretto."),
        QRect(6, 6, 1006, 454),
        QRect(8, 8, 977, 425),
        QRect(8, 433, 977, 25),
        QRect(985, 8, 25, 425),
        QRect(8, 464, 999, 57),
        QRect(744, 504, 271, 25),
        QRect(6, 525, 708, 140),
        QRect(7, 526, 706, 138),
        QStringLiteral(":/layouts/AnalizzaFirma.layout"),
    };
    return kind;
}
