/* This class is a demo */
import java.util.List;

public class Demo {
    public static void main(String[] args) {
        System.out.println("hi");
    }
}
